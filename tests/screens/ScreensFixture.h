#pragma once
// A sandbox with a configuration whose picture folder is RFPF\, small pictures written on demand,
// the window instances pointed at the forms under test, and helpers that deliver keys and clicks
// the way the window system does.

#include "app/Globals.h"
#include "app/Screens.h"
#include "app/Strings.h"
#include "config/Config.h"
#include "support/Sandbox.h"
#include "support/Watchdog.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QKeyEvent>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>
#include <string>

// Stands in for the exercise screen: counts the hand-overs it receives.
class TFakeMain : public TMainScreen {
public:
    void BackToSelection() override {
        ++BackCalls;
        if (OnBack)
            OnBack();
    }
    void StartSession() override {}
    void FormKeyDown(platform::WORD&, platform::TShiftState) override {}
    void FormKeyPress(char&) override {}
    int BackCalls = 0;
    std::function<void()> OnBack;
};

class ScreensTest : public testing::Test {
protected:
    explicit ScreensTest(platform::TScreenMetrics screen = {1024, 768, 32}) : Box(screen) {
        PictureFolder = "RFPF\\";
        Settings = std::make_unique<TConfig>(TConfig::TSettingsOnly{});
        Settings->Path = Box.Root() + "program/";
        Settings->ScreenSize = 3;
        ::Config = Settings.get();
        frmMain = &Main;
    }
    ~ScreensTest() override {
        frmMain = nullptr;
        frmVariant = nullptr;
        frmSplash = nullptr;
        frmHelp = nullptr;
        frmExitQuery = nullptr;
        ::Config = nullptr;
        PictureFolder.clear();
        for (QWidget* w : QApplication::topLevelWidgets())
            w->hide();
    }

    // A picture of one colour with a differently coloured top-left pixel, as BMP or JPEG bytes.
    static std::string PictureBytes(int width, int height, const char* format,
                                    QColor colour = QColor(30, 120, 200)) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(colour);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        EXPECT_TRUE(image.save(&buffer, format));
        return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    // Writes a picture into the content directory's picture folder.
    std::string WritePicture(const std::string& name, int width, int height, const char* format,
                             QColor colour = QColor(30, 120, 200)) {
        return Box.Write("content/RFPF/" + name, PictureBytes(width, height, format, colour));
    }

    static void Key(QWidget* target, int key, const QString& text,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(target, &release);
    }
    // A click where the window system would deliver it: to the child under the point.
    static void ClickAt(QWidget* window, QPoint at) {
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    }
    // Another window of the program takes the activation.
    void ActivateOther() {
        Other.setWindowTitle("other");
        Other.resize(50, 50);
        Other.show();
        Other.activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([this] { return Other.isActiveWindow(); }, 2000));
    }

    TSandbox Box;
    std::unique_ptr<TConfig> Settings;
    TFakeMain Main;
    QWidget Other;
    TWatchdog Watchdog;
};
