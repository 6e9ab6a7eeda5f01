#pragma once
// Closing the main window asks the exit question; tests that end the trainer that way answer it
// with "quit" as soon as it is up. The windows are found by their object names, as a test of the
// whole program sees them.

#include "platform/Form.h"

#include <QApplication>
#include <QTimer>

// The top-level window of that object name, or null.
template <class T = platform::TForm> T* FindWindow(const char* name) {
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name)
            return qobject_cast<T*>(w);
    return nullptr;
}

inline void CloseMainAndQuit() {
    auto* answer = new QTimer;
    answer->setInterval(20);
    QObject::connect(answer, &QTimer::timeout, [answer] {
        platform::TForm* question = FindWindow("frmExitQuery");
        if (question && question->isVisible()) {
            question->SetModalResult(3);
            answer->stop();
            answer->deleteLater();
        }
    });
    answer->start();
    if (QWidget* main = FindWindow("frmMain"))
        main->close();
}
