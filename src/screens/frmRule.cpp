#include "screens/frmRule.h"

#include "app/Globals.h"

TfrmRule::TfrmRule(QWidget* parent) : TRuleScreen(parent) {
    setObjectName("frmRule");
}

// Drawing the rule comes with the rule window's own change.
void TfrmRule::ShowRule(const std::string&, int, int, const QRect&) {}

void TfrmRule::HideRule() {
    hide();
    if (frmMain && frmMain->isVisible())
        frmMain->activateWindow();
}
