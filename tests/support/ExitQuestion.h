#pragma once
// Closing the main window asks the exit question; tests that end the trainer that way answer it
// with "quit" as soon as it is up.

#include "screens/Screens.h"

#include <QTimer>

inline void CloseMainAndQuit() {
    auto* answer = new QTimer;
    answer->setInterval(20);
    QObject::connect(answer, &QTimer::timeout, [answer] {
        if (frmExitQuery && frmExitQuery->isVisible()) {
            frmExitQuery->SetModalResult(3);
            answer->stop();
            answer->deleteLater();
        }
    });
    answer->start();
    if (frmMain)
        frmMain->close();
}
