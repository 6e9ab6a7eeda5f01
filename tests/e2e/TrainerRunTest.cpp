// The trainer's real start-up on the bundled content, driven from the intro onwards as a pupil
// goes through it, with the windows on the offscreen platform.

#include "Scenario.h"

#include "app/Globals.h"
#include "app/Strings.h"
#include "config/Config.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"
#include "screens/frmHelp.h"
#include "screens/frmMain.h"
#include "screens/frmRule.h"
#include "screens/frmSplash.h"
#include "startup/Startup.h"
#include "startup/Trainer.h"
#include "support/ExitQuestion.h"
#include "support/MessageRecorder.h"
#include "support/Sandbox.h"
#include "support/Watchdog.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QScreen>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>
#include <sstream>

using namespace platform;

namespace {

// Everything the build lays out for the trainer: libraries, font, language file, pictures and
// help texts.
void CopyAllBuiltContent(TSandbox& box) {
    const QStringList names =
        QDir(ZARVO_CONTENT_BUILD_DIR).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    ASSERT_FALSE(names.isEmpty()) << "no built content in " << ZARVO_CONTENT_BUILD_DIR;
    for (const QString& name : names)
        box.CopyBuiltContent(name.toStdString());
}

// The screen the platform really has, so that the full-screen windows and the pictures chosen
// for the screen size belong together as they do in the program.
TScreenMetrics RealScreen() {
    const QScreen* s = QGuiApplication::primaryScreen();
    return {s->geometry().width(), s->geometry().height(), s->depth()};
}

struct TPictureMatch {
    int Compared = 0;
    int Differing = 0;
    QPoint FirstDifference;
};

// Compares a window's grab with a picture placed at `at` in it, where the two overlap.
TPictureMatch ComparePicture(const QImage& shot, const QImage& picture, QPoint at) {
    TPictureMatch m;
    const QRect overlap = shot.rect() & picture.rect().translated(at);
    for (int y = overlap.top(); y <= overlap.bottom(); ++y)
        for (int x = overlap.left(); x <= overlap.right(); ++x) {
            ++m.Compared;
            if ((shot.pixel(x, y) & 0xFFFFFF) != (picture.pixel(x - at.x(), y - at.y()) & 0xFFFFFF))
                if (m.Differing++ == 0)
                    m.FirstDifference = QPoint(x, y);
        }
    return m;
}

// No window of the run is left, and the interface strings are cleared.
void ExpectEverythingFreed() {
    for (QWidget* w : QApplication::topLevelWidgets())
        EXPECT_FALSE(w->objectName().startsWith("frm")) << w->objectName().toStdString();
    EXPECT_TRUE(Title.empty());
    EXPECT_TRUE(PictureFolder.empty());
}

// The trainer of the run in progress; null outside a run.
TTrainer* Running = nullptr;

struct TLanguageCase {
    const char* Name;
    const char* Registry; // the registry's language; nullptr: none, the question answers
    int Answer;
    const char* Folder; // the picture folder, native form
    const char* Title;  // UTF-8
};

void PrintTo(const TLanguageCase& c, std::ostream* os) {
    *os << c.Name;
}

class TrainerRun : public testing::TestWithParam<TLanguageCase> {};

} // namespace

TEST_P(TrainerRun, FromTheIntroToTheSelectionAndOut) {
    const TLanguageCase& lang = GetParam();
    TSandbox box(RealScreen());
    CopyAllBuiltContent(box);
    if (lang.Registry)
        box.WriteRegistry(
            std::string("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Language]\r\n"
                        "\"Language\"=\"") +
            lang.Registry + "\"\r\n");
    else
        Recorder().Answer(lang.Answer);

    TScenario run;
    run.Then(
           "the intro is up",
           [] {
               return Running && Running->frmSplash && Running->frmSplash->isVisible() &&
                      Running->frmSplash->isActiveWindow();
           },
           [&] {
               EXPECT_EQ(Running->frmMain->Caption(), Utf8ToAnsi(lang.Title));
               EXPECT_TRUE(Running->frmMain->isVisible()) << "the main window lies under the intro";
               const QRect screen = QGuiApplication::primaryScreen()->geometry();
               EXPECT_EQ(Running->frmSplash->geometry(), screen);

               const std::string file = box.ContentDir() + lang.Folder + "intro" +
                                        std::to_string(Running->Config->ScreenSize) + ".fpf";
               const QImage picture(QString::fromStdString(file), "BMP");
               ASSERT_FALSE(picture.isNull()) << file;
               const QImage shot = Running->frmSplash->grab().toImage();
               const QPoint at((shot.width() - picture.width()) / 2,
                               (shot.height() - picture.height()) / 2);
               const TPictureMatch m = ComparePicture(shot, picture, at);
               EXPECT_GE(m.Compared, screen.width() * screen.height() / 2) << "mostly covered";
               EXPECT_EQ(m.Differing, 0)
                   << "of " << m.Compared << " pixels, first at (" << m.FirstDifference.x() << ", "
                   << m.FirstDifference.y() << ") of " << file;

               // Up now so that the hand-over shows: only the selection hides them.
               Running->frmMain->ShowButtonPanel(true);
               Running->frmMain->findChild<QWidget*>("imgResult")->show();
               QTest::keyClick(Running->frmSplash->windowHandle(), Qt::Key_Space);
           })
        .Then(
            "the intro has handed over to the selection",
            [] { return !Running->frmSplash->isVisible(); },
            [] {
                EXPECT_TRUE(Running->frmMain->isVisible());
                EXPECT_FALSE(Running->frmMain->ButtonPanelVisible());
                EXPECT_FALSE(Running->frmMain->ResultsVisible());
                EXPECT_FALSE(Running->frmRule->isVisible());
                EXPECT_FALSE(Running->frmHelp->isVisible());
                CloseMainAndQuit();
            });
    run.Start();

    TWatchdog watchdog(20000);
    ClearInterfaceStrings();
    TStartupOptions options;
    options.ContentDir = box.ContentDir();
    std::ostringstream err;
    const int status = RunTrainer(options, ZARVO_BIN_DIR, err, [](TTrainer& t) { Running = &t; });
    Running = nullptr;

    EXPECT_TRUE(run.Done()) << "still waiting for: " << run.Waiting();
    EXPECT_EQ(status, 0) << err.str();
    EXPECT_TRUE(err.str().empty()) << err.str();
    ExpectEverythingFreed();
    const auto boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), lang.Registry ? 0u : 1u) << "only the language question";
    if (!boxes.empty()) {
        EXPECT_EQ(boxes[0].Flags, static_cast<unsigned>(MB_YESNO | MB_ICONQUESTION | MB_BILINGUAL));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Languages, TrainerRun,
    testing::Values(TLanguageCase{"RussianFromTheRegistry", "Russian", 0, "RFPF/", "Зарво"},
                    TLanguageCase{"EnglishByTheQuestion", nullptr, IDYES, "EFPF/", "Zarvo"}),
    [](const testing::TestParamInfo<TLanguageCase>& info) { return info.param.Name; });
