#pragma once
// A sandbox whose configuration uses the picture folder RFPF\, small pictures written on demand,
// a stand-in main window, and keys and clicks delivered as the window system delivers them.

#include "app/Globals.h"
#include "app/Strings.h"
#include "config/Config.h"
#include "platform/Form.h"
#include "screens/ScreenLinks.h"
#include "screens/frmVariant.h"
#include "session/Selection.h"
#include "support/Sandbox.h"
#include "support/Watchdog.h"

#include <QBuffer>
#include <QKeyEvent>
#include <QTest>
#include <QWindow>
#include <memory>

// A stand-in for the exercise screen as the other windows see it: it counts the hand-overs it
// receives, records the choice it was started with, and takes the keys the rule window passes on
// as if they had reached it.
class TFakeMain : public platform::TForm,
                  public ISelectionHost,
                  public IRuleHost,
                  public IIntroHost {
public:
    void BackToSelection() {
        ++BackCalls;
        if (OnBack)
            OnBack();
    }
    void TakeFocus() override { SetKeyPreview(true); }
    void StartSession(const TSelection& selection) override {
        ++StartCalls;
        Started = selection;
    }
    void ShowButtonPanel(bool visible) override { PanelVisible = visible; }
    void HideResults() override { ResultsShown = false; }
    void MinimizeScreen() override { showMinimized(); }
    void PassKeyDown(platform::WORD& key, platform::TShiftState shift) override {
        FormKeyDown(key, shift);
    }
    void PassKeyPress(char& key) override { FormKeyPress(key); }
    void RuleHidden() override {
        if (isVisible())
            activateWindow();
    }
    void IntroClosed() override { BackToSelection(); }
    bool PanelVisible = false;
    bool ResultsShown = false;
    int BackCalls = 0;
    int StartCalls = 0;
    TSelection Started;
    std::function<void()> OnBack;
};

class ScreensTest : public testing::Test {
protected:
    explicit ScreensTest(platform::TScreenMetrics screen = {1024, 768, 32}) : Box(screen) {
        PictureFolder = "RFPF\\";
        Settings->Path = Box.Root() + "program/";
        Settings->ScreenSize = 3;
    }
    ~ScreensTest() override { PictureFolder.clear(); }

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
