#pragma once
// The rule window.

#include "app/Screens.h"

class TfrmRule : public TRuleScreen {
    Q_OBJECT
public:
    explicit TfrmRule(QWidget* parent = nullptr);
    void ShowRule(const std::string& rule, int x, int y, const QRect& exampleBox) override;
    void HideRule() override;
};
