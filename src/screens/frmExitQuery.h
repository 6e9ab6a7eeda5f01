#pragma once
// The exit question.

#include "app/Screens.h"

class TfrmExitQuery : public TExitQueryScreen {
    Q_OBJECT
public:
    explicit TfrmExitQuery(QWidget* parent = nullptr);
    void FormCreate() override;
    int Ask(bool allowContinue) override;
};
