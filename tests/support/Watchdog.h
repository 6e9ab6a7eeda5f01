#pragma once
// Guards a test that runs modal loops: if the test is still running after the timeout, every
// window is closed and every modal loop ended, and the test fails instead of hanging.

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <gtest/gtest.h>

class TWatchdog {
public:
    explicit TWatchdog(int milliseconds = 10000) {
        Timer.setSingleShot(true);
        QObject::connect(&Timer, &QTimer::timeout, [] {
            ADD_FAILURE() << "watchdog: the test did not finish in time";
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* d = qobject_cast<QDialog*>(w))
                    d->done(0);
                w->close();
            }
            for (QWidget* w : QApplication::topLevelWidgets())
                w->hide();
        });
        Timer.start(milliseconds);
    }
    ~TWatchdog() { Timer.stop(); }

private:
    QTimer Timer;
};

// Runs `step` from the event loop once it is running (for driving a modal loop).
inline void Later(int milliseconds, std::function<void()> step) {
    QTimer::singleShot(milliseconds, std::move(step));
}
