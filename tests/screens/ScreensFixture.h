#pragma once
// A sandbox whose configuration uses the picture folder RFPF\, small pictures written on demand,
// a stand-in main window, and keys and clicks delivered as the window system delivers them.

#include "app/Globals.h"
#include "app/Strings.h"
#include "config/Config.h"
#include "screens/Screens.h"
#include "support/Sandbox.h"
#include "support/Watchdog.h"

#include <QBuffer>
#include <QKeyEvent>
#include <QTest>
#include <QWindow>
#include <memory>

// Counts the hand-overs it receives.
class TFakeMain : public TMainScreen {
public:
    void BackToSelection() override {
        ++BackCalls;
        if (OnBack)
            OnBack();
    }
    void StartSession() override { ++StartCalls; }
    void FormKeyDown(platform::WORD&, platform::TShiftState) override {}
    void FormKeyPress(char&) override {}
    void ShowButtonPanel(bool visible) override { PanelVisible = visible; }
    void HideResults() override { ResultsShown = false; }
    bool ButtonPanelVisible() const override { return PanelVisible; }
    bool ResultsVisible() const override { return ResultsShown; }
    bool PanelVisible = false;
    bool ResultsShown = false;
    int BackCalls = 0;
    int StartCalls = 0;
    std::function<void()> OnBack;
};

class ScreensTest : public testing::Test {
protected:
    explicit ScreensTest(platform::TScreenMetrics screen = {1024, 768, 32}) : Box(screen) {
        PictureFolder = "RFPF\\";
        Settings->Path = Box.Root() + "program/";
        Settings->ScreenSize = 3;
        ::Config = Settings.get();
        frmMain = &Main;
    }
    ~ScreensTest() override {
        frmMain = nullptr;
        frmVariant = nullptr;
        ::Config = nullptr;
        PictureFolder.clear();
    }

    // A one-coloured picture in the content directory's picture folder, as BMP or JPEG.
    void WritePicture(const std::string& name, int width, int height, const char* format,
                      QColor colour = QColor(30, 120, 200)) {
        QImage image(width, height, QImage::Format_RGB32);
        image.fill(colour);
        QByteArray bytes;
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(image.save(&buffer, format));
        Box.Write("content/RFPF/" + name, bytes.toStdString());
    }
    static void Key(QWidget* target, int key, const QString& text,
                    Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(target, &release);
    }
    // Delivered to whatever child lies under the point.
    static void ClickAt(QWidget* window, QPoint at) {
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, Qt::NoModifier, at);
    }
    void ActivateOther() {
        Other.resize(50, 50);
        Other.show();
        Other.activateWindow();
        EXPECT_TRUE(QTest::qWaitFor([this] { return Other.isActiveWindow(); }, 2000));
    }
    // Runs `step` once the modal loop that follows is up; the timer dies with the scope.
    static void InModal(QObject& scope, std::function<void()> step) {
        QTimer::singleShot(10, &scope, std::move(step));
    }

    TSandbox Box;
    std::unique_ptr<TConfig> Settings = std::make_unique<TConfig>(TConfig::TSettingsOnly{});
    TFakeMain Main;
    QWidget Other;
    TWatchdog Watchdog;
};
