#include "screens/frmExitQuery.h"

#include "app/Globals.h"

TfrmExitQuery::TfrmExitQuery(QWidget* parent) : TExitQueryScreen(parent) {
    setObjectName("frmExitQuery");
}

void TfrmExitQuery::FormCreate() {
    if (GlobalFailure)
        return;
}

// Until the question is built, leaving always means quitting.
int TfrmExitQuery::Ask(bool) {
    SetModalResult(3);
    return ModalResult();
}
