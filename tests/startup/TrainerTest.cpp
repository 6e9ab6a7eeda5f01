// The whole start-up of the trainer in a sandbox: content directory, registry, Windows folder and
// screen of its own, the windows on the offscreen platform.

#include "startup/Trainer.h"
#include "app/Globals.h"
#include "app/Strings.h"
#include "config/Config.h"
#include "content/FRule.h"
#include "content/Task.h"
#include "platform/Image.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"
#include "render/FFont.h"
#include "screens/frmExitQuery.h"
#include "screens/frmHelp.h"
#include "screens/frmMain.h"
#include "screens/frmRule.h"
#include "screens/frmSplash.h"
#include "screens/frmVariant.h"
#include "session/Pupil.h"
#include "startup/Startup.h"
#include "support/ExitQuestion.h"
#include "support/MessageRecorder.h"
#include "support/Sandbox.h"
#include "support/Watchdog.h"

#include <QKeyEvent>
#include <QLockFile>
#include <QStandardPaths>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <sstream>
#include <unistd.h>
#include <utility>

using namespace platform;

namespace {

// The scrambling of content lines: bytes from 32 up are mirrored onto 255 down.
std::string Scramble(const std::string& utf8) {
    std::string s = Utf8ToAnsi(utf8);
    for (char& c : s)
        if (static_cast<unsigned char>(c) >= 32)
            c = static_cast<char>(31 - static_cast<unsigned char>(c));
    return s + "\r\n";
}

// The smallest content the readers accept: a font file without glyphs, a variant library with
// one example and a rule library with one rule; the bundled language file, pictures and help
// texts. The help window reads its text even when start-up has failed, and without a language
// it looks for it in the content directory itself.
void WriteContent(TSandbox& box) {
    box.Write("content/Config.fcf", "[Files]\r\nVarLib=CD\r\nRule=CD\r\nFFF==\r\n");
    box.Write("content/Zarvo.fff", "%\x01STOP");
    box.Write("content/Zarvo.ff", "ZARVOFILE\r\n" + Scramble("%C5 класс") + Scramble("%TЗапятая") +
                                      Scramble("%V1 Первый") + Scramble("%XМама мыла раму.") +
                                      Scramble("%%STOP"));
    box.Write("content/Zarvo.frf",
              "RULfile\r\n" + Scramble("%1") + Scramble("Запятая ставится.") + Scramble("%%STOP"));
    box.CopyBuiltContent("Zarvo.flt");
    box.CopyBuiltContent("RFPF");
    box.CopyBuiltContent("EFPF");
    box.Write("content/help.txt", "Help\r\n");
}

void RegistryLanguage(TSandbox& box, const char* language) {
    box.WriteRegistry(std::string("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Language]\r\n") +
                      "\"Language\"=\"" + language + "\"\r\n");
}

// Starts the trainer as the program would: nothing loaded yet. `ready` sees the trainer once its
// windows exist.
int StartTrainer(TSandbox& box, std::ostream& err,
                 const std::function<void(TTrainer&)>& ready = {}) {
    ClearInterfaceStrings();
    GlobalFailure = false;
    TStartupOptions options;
    options.ContentDir = box.ContentDir();
    return RunTrainer(options, "/nonexistent/bin", err, ready);
}

// The run has freed its objects and windows and cleared the interface strings.
void ExpectNothingLeft() {
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->objectName().startsWith("frm")) << w->objectName().toStdString();
    EXPECT_TRUE(Title.empty());
    EXPECT_TRUE(strError.empty());
}

// Start-up was ended by one error box naming `what`, which the error stream names too, and left
// nothing behind.
void ExpectOneErrorNaming(const std::string& what, const std::ostringstream& err) {
    auto boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Flags, 16u);
    EXPECT_NE(boxes[0].Text.find(what), std::string::npos) << boxes[0].Text;
    EXPECT_NE(err.str().find(what), std::string::npos) << err.str();
    ExpectNothingLeft();
}

} // namespace

TEST(Trainer, StartsWithTheMainWindowMaximisedAndEndsWhenItCloses) {
    TSandbox box({1280, 1024, 24});
    WriteContent(box);
    Recorder().Answer(IDNO); // Russian

    bool seen = false;
    TTrainer* running = nullptr;
    TWatchdog watchdog(20000);
    Later(100, [&] {
        seen = true;
        ASSERT_NE(running, nullptr);
        const TTrainer& t = *running;
        ASSERT_NE(t.frmMain, nullptr);
        EXPECT_TRUE(t.frmMain->isVisible());
        EXPECT_TRUE(t.frmMain->isMaximized() || t.frmMain->isFullScreen());
        EXPECT_EQ(t.frmMain->Caption(), Utf8ToAnsi("Зарво"));
        EXPECT_EQ(PictureFolder, "RFPF\\");
        for (const void* g :
             {static_cast<const void*>(t.Config.get()), static_cast<const void*>(t.Fonts.get()),
              static_cast<const void*>(t.Tasks.get()), static_cast<const void*>(t.Rules.get()),
              static_cast<const void*>(t.CurrentPupil.get())})
            EXPECT_NE(g, nullptr);
        for (const void* f :
             {static_cast<const void*>(t.frmVariant.get()),
              static_cast<const void*>(t.frmRule.get()), static_cast<const void*>(t.frmHelp.get()),
              static_cast<const void*>(t.frmSplash.get()),
              static_cast<const void*>(t.frmExitQuery.get())})
            EXPECT_NE(f, nullptr);
        EXPECT_EQ(t.Config->ScreenSize, 4);
        EXPECT_EQ(t.Config->GetPath(), box.ContentDir());
        CloseMainAndQuit();
    });
    std::ostringstream err;
    EXPECT_EQ(StartTrainer(box, err, [&](TTrainer& t) { running = &t; }), 0) << err.str();
    EXPECT_TRUE(seen) << "the event loop ran";
    auto boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), 1u) << "only the language question";
    EXPECT_EQ(boxes[0].Flags, MB_YESNO | MB_ICONQUESTION | MB_BILINGUAL);
    EXPECT_EQ(boxes[0].Caption, "");
    ExpectNothingLeft();
    EXPECT_TRUE(err.str().empty()) << err.str();
}

// Runs a step once, when a window of the kind asked for is first shown; the window may not
// exist yet when the watch begins.
template <class TWindow> class TShowWatch : public QObject {
public:
    explicit TShowWatch(std::function<void()> step) : Step(std::move(step)) {
        qApp->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show && Step && dynamic_cast<TWindow*>(watched))
            std::exchange(Step, nullptr)();
        return false;
    }

private:
    std::function<void()> Step;
};

// The later screens' pictures and texts wait until the intro is up; a key that comes before they
// are loaded is kept, and what cannot be read is still reported before that key hands over.
TEST(Trainer, WhatTheIntroDoesNotShowLoadsAfterItAndIsReportedBeforeTheFirstKeyActs) {
    TSandbox box; // 1024 x 768: pictures of size class 3
    WriteContent(box);
    RegistryLanguage(box, "English");
    ::unlink((box.ContentDir() + "EFPF/res3.fpf").c_str());
    Recorder().AcceptExceptionReports(true);

    bool keyed = false, selected = false;
    std::vector<TRecordedBox> beforeKey, atHandOver;
    std::unique_ptr<TShowWatch<TfrmVariant>> handOver;
    TWatchdog watchdog(20000);
    std::ostringstream err;
    const int status = StartTrainer(box, err, [&](TTrainer& t) {
        EXPECT_TRUE(t.frmMain->imgArrow->Picture().Empty());
        for (const void* later :
             {static_cast<const void*>(t.frmVariant.get()),
              static_cast<const void*>(t.frmRule.get()), static_cast<const void*>(t.frmHelp.get()),
              static_cast<const void*>(t.frmExitQuery.get())})
            EXPECT_EQ(later, nullptr) << "windows the intro does not show wait for its first frame";
        EXPECT_TRUE(Recorder().Take().empty());
        handOver = std::make_unique<TShowWatch<TfrmVariant>>([&] {
            selected = true;
            atHandOver = Recorder().Take();
            EXPECT_FALSE(t.frmMain->imgArrow->Picture().Empty());
            EXPECT_NE(t.frmHelp->txtHelp, nullptr);
            EXPECT_FALSE(t.frmVariant->imgIntro->Picture().Empty());
            Later(50, [] { CloseMainAndQuit(); });
        });
        // Registered before the event loop starts, so it comes before the loading: the pupil
        // presses a key as soon as the intro is there.
        Later(0, [&] {
            keyed = true;
            ASSERT_TRUE(t.frmSplash->isVisible()) << "the intro is up";
            EXPECT_TRUE(t.frmMain->imgArrow->Picture().Empty()) << "nothing loaded yet";
            beforeKey = Recorder().Take();
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " ");
            QApplication::sendEvent(t.frmSplash.get(), &press);
        });
    });
    handOver.reset();
    EXPECT_EQ(status, 0) << err.str();
    EXPECT_TRUE(keyed);
    EXPECT_TRUE(beforeKey.empty());
    EXPECT_TRUE(selected) << "the early key handed over to the selection";
    ASSERT_EQ(atHandOver.size(), 1u) << "the results background's report";
    EXPECT_EQ(atHandOver[0].Flags, 16u);
    EXPECT_NE(atHandOver[0].Text.find("res3.fpf"), std::string::npos) << atHandOver[0].Text;
    ExpectNothingLeft();
}

// The selection's background is read right after the intro's first frame; one that cannot be read
// ends start-up with the same error as an intro that cannot be read, and a key pressed before
// then opens no selection.
TEST(Trainer, AnUnreadableSelectionBackgroundEndsStartUpEvenAfterAnEarlyKey) {
    for (const bool earlyKey : {false, true}) {
        SCOPED_TRACE(earlyKey ? "a key first" : "no key");
        TSandbox box;
        WriteContent(box);
        RegistryLanguage(box, "English");
        ::unlink((box.ContentDir() + "EFPF/lay3.fpf").c_str());
        bool selected = false;
        TWatchdog watchdog(20000); // a loop that did not end would hang here
        std::ostringstream err;
        const int status = StartTrainer(box, err, [&](TTrainer& t) {
            if (!earlyKey)
                return;
            Later(0, [&] {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, "\r");
                QApplication::sendEvent(t.frmSplash.get(), &press);
                // A selection run modally would still be up when the key returns.
                selected = t.frmVariant->isVisible();
            });
        });
        EXPECT_EQ(status, 3);
        EXPECT_FALSE(selected);
        ExpectOneErrorNaming("lay3.fpf", err);
    }
}

// The window manager's close can reach the main window before the intro's first frame, while the
// exit question's window is not made yet: the question is still asked and answered.
TEST(Trainer, AnExitQuestionBeforeTheFirstFrameIsStillAsked) {
    TSandbox box;
    WriteContent(box);
    RegistryLanguage(box, "English");
    bool early = false, asked = false;
    TWatchdog watchdog(20000);
    std::ostringstream err;
    const int status = StartTrainer(box, err, [&](TTrainer& t) {
        Later(0, [&] {
            early = t.frmExitQuery == nullptr;
            Later(50, [&] {
                asked = t.frmExitQuery && t.frmExitQuery->isVisible();
                if (asked) {
                    QKeyEvent press(QEvent::KeyPress, Qt::Key_3, Qt::NoModifier, "3");
                    QApplication::sendEvent(t.frmExitQuery.get(), &press);
                } else {
                    CloseMainAndQuit();
                }
            });
            t.frmMain->close();
        });
    });
    EXPECT_EQ(status, 0) << err.str();
    EXPECT_TRUE(early);
    EXPECT_TRUE(asked);
    EXPECT_TRUE(Recorder().Take().empty());
    ExpectNothingLeft();
}

TEST(Trainer, ASecondCopyIsRefusedWithOneMessage) {
    TSandbox box;
    WriteContent(box);
    RegistryLanguage(box, "English");
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    QLockFile first(runtime + "/zarvo.lock");
    ASSERT_TRUE(first.tryLock(0));

    std::ostringstream err;
    EXPECT_EQ(StartTrainer(box, err), 2);
    auto boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Caption, "Zarvo");
    EXPECT_EQ(boxes[0].Text, "You cannot run two instances of Zarvo at the same time!");
    EXPECT_EQ(boxes[0].Flags, 48u);
    ExpectNothingLeft();

    first.unlock();
    TWatchdog watchdog(20000);
    Later(100, [] { CloseMainAndQuit(); });
    EXPECT_EQ(StartTrainer(box, err), 0) << "the lock is free again";
}

TEST(Trainer, AFailingConfigurationStopsBeforeTheLanguage) {
    TSandbox box;
    WriteContent(box);
    ::unlink((box.ContentDir() + "Config.fcf").c_str());
    ASSERT_EQ(::symlink("/proc/self/mem", (box.ContentDir() + "Config.fcf").c_str()), 0);
    std::ostringstream err;
    EXPECT_EQ(StartTrainer(box, err), 1);
    auto boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), 1u) << "no question, no font or library boxes";
    EXPECT_EQ(boxes[0].Caption, "") << "the language was never loaded";
    EXPECT_EQ(boxes[0].Flags, 16u);
    ExpectNothingLeft();
}

TEST(Trainer, AMissingFontFileStopsBeforeTheLibraries) {
    TSandbox box;
    WriteContent(box);
    RegistryLanguage(box, "English");
    ::unlink((box.ContentDir() + "Zarvo.fff").c_str());
    ::unlink((box.ContentDir() + "Zarvo.ff").c_str()); // would give a second box if it were read
    std::ostringstream err;
    EXPECT_EQ(StartTrainer(box, err), 1);
    auto boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Caption, "Input/Output Error");
    EXPECT_EQ(boxes[0].Text,
              "Zarvo\r\nThe file " + box.ContentDir() + "Zarvo.fff cannot be opened!");
    ExpectNothingLeft();
}

// The libraries are read beside the fonts: only the first failure in the order fonts, library,
// rules is reported, and nothing read after it.
TEST(Trainer, OnlyTheFirstUnusableLibraryIsReported) {
    for (const bool libraryToo : {true, false}) {
        SCOPED_TRACE(libraryToo ? "library and rules" : "rules");
        TSandbox box;
        WriteContent(box);
        RegistryLanguage(box, "English");
        box.Write("content/Zarvo.frf", "not a rule library\r\n");
        if (libraryToo)
            ::unlink((box.ContentDir() + "Zarvo.ff").c_str());
        TWatchdog watchdog(20000); // a start that went on would wait here for the pupil
        std::ostringstream err;
        EXPECT_EQ(StartTrainer(box, err), 1);
        auto boxes = Recorder().Take();
        ASSERT_EQ(boxes.size(), 1u);
        const bool namesTheLibrary =
            boxes[0].Text.find(box.ContentDir() + "Zarvo.ff ") != std::string::npos;
        EXPECT_EQ(namesTheLibrary, libraryToo) << boxes[0].Text;
        ExpectNothingLeft();
    }
}

TEST(Trainer, ATooSmallScreenIsReportedAfterLoadingAndNoWindowOpens) {
    TSandbox box({639, 480, 32});
    WriteContent(box);
    RegistryLanguage(box, "English");
    std::ostringstream err;
    EXPECT_EQ(StartTrainer(box, err), 1);
    auto boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Caption, "Zarvo");
    EXPECT_EQ(boxes[0].Text, "This system doesn't meet the minimal system requirements!\r\n"
                             "\"Zarvo\" cannot be run!");
    EXPECT_EQ(boxes[0].Flags, 48u);
    ExpectNothingLeft();
}

TEST(Trainer, AnIntroThatCannotBeReadEndsStartUpWithAnError) {
    TSandbox box; // 1024 x 768: the intro of size class 3
    WriteContent(box);
    RegistryLanguage(box, "English");
    ::unlink((box.ContentDir() + "EFPF/intro3.fpf").c_str());
    TWatchdog watchdog(20000); // an event loop entered anyway would hang here
    std::ostringstream err;
    EXPECT_EQ(StartTrainer(box, err), 3);
    ExpectOneErrorNaming("intro3.fpf", err);
}

TEST(Trainer, ARegistryValueOfTheWrongTypeEndsStartUpWithAnError) {
    TSandbox box;
    WriteContent(box);
    box.WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\VarLib\\Length]\r\n"
                      "\"Length\"=\"12\"\r\n");
    std::ostringstream err;
    EXPECT_EQ(StartTrainer(box, err), 3);
    ExpectOneErrorNaming("Length", err);
}

TEST(PrintConfig, NamesInTheirOrderAndNothingAsked) {
    TSandbox box;
    const std::string lib = box.Write("lib/Zarvo.ff", std::string(12, 'x'));
    box.Write("windows/Config.fcf", "[Files]\nVarLib=" + lib +
                                        "\nRule=/r/Zarvo.frf\n[VarLib]\n"
                                        "Length=12\nTheme=3\nClass=" +
                                        Utf8ToAnsi("5 класс") + "\n");
    box.WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Language]\r\n"
                      "\"Language\"=\"Russian\"\r\n");
    TStartupOptions o;
    o.ContentDir = box.ContentDir();
    std::ostringstream out, err;
    EXPECT_EQ(PrintConfig(o, "/nonexistent/bin", out, err), 0) << err.str();
    const std::string c = box.ContentDir();
    EXPECT_EQ(out.str(), "VarLib=" + lib +
                             "\nVarLibLength=12\nFFF==\nRule=/r/Zarvo.frf\n"
                             "Result=\nFixedClass=5 класс\nFixedTheme=3\nPath=" +
                             c + "\nScreenSize=3\nGetVarLibFile=" + lib +
                             "\nGetRuleFile=/r/Zarvo.frf\nGetFontFile=" + c +
                             "Zarvo.fff\nGetResultFile=" + c +
                             "Zarvo.rez\nGetVarLibSize=12\nVarLibUnchanged=true\n"
                             "RegistryLanguage=Russian\n");
    EXPECT_EQ(err.str(), "");
}

TEST(PrintConfig, FailuresGoToTheErrorStreamWithAFailingStatus) {
    TSandbox box;
    ASSERT_EQ(::symlink("/proc/self/mem", (box.ContentDir() + "Config.fcf").c_str()), 0);
    TStartupOptions o;
    o.ContentDir = box.ContentDir();
    std::ostringstream out, err;
    EXPECT_NE(PrintConfig(o, "/nonexistent/bin", out, err), 0);
    EXPECT_NE(err.str().find("The exercise library cannot be read!"), std::string::npos)
        << err.str();
    EXPECT_NE(out.str().find("VarLib=CD\n"), std::string::npos) << "the settings still print";

    TSandbox wrongType;
    wrongType.WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\Rule]\r\n"
                            "\"Rule\"=dword:00000001\r\n");
    std::ostringstream out2, err2;
    o.ContentDir = wrongType.ContentDir();
    EXPECT_NE(PrintConfig(o, "/nonexistent/bin", out2, err2), 0);
    EXPECT_NE(err2.str().find("Rule"), std::string::npos) << err2.str();
    EXPECT_EQ(out2.str(), "") << "no value of the wrong type is printed as a setting";
    EXPECT_EQ(Recorder().Pending(), 0u);
}

TEST(ContentDirectory, OptionThenEnvironmentThenBesideTheProgram) {
    TSandbox box;
    EXPECT_EQ(LocateContentDir(box.Root() + "given", "/opt/zarvo/bin"), box.Root() + "given/");
    EXPECT_EQ(LocateContentDir("", "/opt/zarvo/bin"), box.ContentDir());
    box.SetEnv("ZARVO_CONTENT_DIR", std::nullopt);
    EXPECT_EQ(LocateContentDir("", "/opt/zarvo/bin"), "/opt/zarvo/share/zarvo/");
}
