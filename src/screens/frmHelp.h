#pragma once
// The help window.

#include "app/Screens.h"

class TfrmHelp : public THelpScreen {
    Q_OBJECT
public:
    explicit TfrmHelp(QWidget* parent = nullptr);
    void ShowHelp() override;
    void HideHelp() override;
};
