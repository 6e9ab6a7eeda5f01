// Whole sessions of the real trainer, driven by key events alone from the intro to the results
// file, on a small library packed in the test's own sandbox so that every answer is known.

#include "Scenario.h"

#include "app/Globals.h"
#include "app/Strings.h"
#include "content/Task.h"
#include "platform/Text.h"
#include "screens/frmExitQuery.h"
#include "screens/frmMain.h"
#include "screens/frmSplash.h"
#include "screens/frmVariant.h"
#include "session/Pupil.h"
#include "startup/Startup.h"
#include "startup/Trainer.h"
#include "support/ExitQuestion.h"
#include "support/MessageRecorder.h"
#include "support/Sandbox.h"
#include "support/Watchdog.h"

#include "Tool.h" // the teachers' content tool, which packs the library
#include "report/Tool.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QTest>
#include <QWindow>
#include <gtest/gtest.h>
#include <sstream>

using namespace platform;

namespace {

// The trainer of the run in progress, and its windows; null outside a run.
TTrainer* Running = nullptr;
TfrmMain* MainWindow() {
    return Running ? Running->frmMain.get() : nullptr;
}
TfrmSplash* SplashWindow() {
    return Running ? Running->frmSplash.get() : nullptr;
}
TfrmVariant* SelectionWindow() {
    return Running ? Running->frmVariant.get() : nullptr;
}
TfrmExitQuery* ExitWindow() {
    return Running ? Running->frmExitQuery.get() : nullptr;
}

// Two examples: a comma, then two spelling check points.
constexpr const char* LibrarySource = "Класс: 5 класс\n"
                                      "\n"
                                      "Тема: Проверка\n"
                                      "\n"
                                      "Вариант 1: Короткий\n"
                                      "Мама[,|@ ОЧ] папа и я.\n"
                                      "Летом мы ж{и|ы ЖИШИ}ли у р{е|и БГ}ки.\n";

// A sandbox with the built fonts, pictures, rules and language file, the library packed from
// the source above, Russian chosen in the registry and the results file in a program folder.
class SessionRun : public testing::Test {
protected:
    SessionRun() {
        const QStringList names =
            QDir(ZARVO_CONTENT_BUILD_DIR).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        for (const QString& name : names)
            if (name != "Zarvo.ff")
                Box.CopyBuiltContent(name.toStdString());
        const std::string source = Box.Write("source/Zarvo.ff.txt", LibrarySource);
        std::ostringstream out, err;
        EXPECT_EQ(RunContentTool({"pack", source, Box.ContentDir() + "Zarvo.ff"}, out, err), 0)
            << err.str();
        QDir().mkpath(QString::fromStdString(ProgramDir()));
        Box.WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Language]\r\n"
                          "\"Language\"=\"Russian\"\r\n"
                          "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Path]\r\n"
                          "\"Path\"=\"" +
                          ProgramDir() + "\"\r\n");
    }

    std::string ProgramDir() const { return Box.Root() + "program/"; }
    std::string ResultsFile() const { return Box.Read("program/Zarvo.rez"); }

    // The real start-up with the scenario running inside its event loops.
    void Run(TScenario& run) {
        run.Start();
        TWatchdog watchdog(30000);
        ClearInterfaceStrings();
        TStartupOptions options;
        options.ContentDir = Box.ContentDir();
        std::ostringstream err;
        const int status =
            RunTrainer(options, ZARVO_BIN_DIR, err, [](TTrainer& t) { Running = &t; });
        Running = nullptr;
        EXPECT_TRUE(run.Done()) << "still waiting for: " << run.Waiting();
        EXPECT_EQ(status, 0) << err.str();
        EXPECT_EQ(Recorder().Pending(), 0u);
    }

    static const TExerciseSession& Session() { return MainWindow()->Session(); }

    // One key as the keyboard gives it: the key and the text it types.
    static void Key(QWidget* to, int key, const char* utf8 = "") {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, QString::fromUtf8(utf8));
        QApplication::sendEvent(to, &press);
        QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, QString::fromUtf8(utf8));
        QApplication::sendEvent(to, &release);
    }
    static void MainKey(int key, const char* utf8 = "") { Key(MainWindow(), key, utf8); }

    // Keys go where the keyboard sends them: the focused widget, which is the list of an open
    // popup.
    static void Typed(int key, const char* utf8 = "") {
        QWidget* to = QApplication::focusWidget();
        if (!to)
            to = QApplication::activePopupWidget();
        Key(to ? to : SelectionWindow(), key, utf8);
        QApplication::processEvents();
    }

    // The intro is dismissed by a key and the selection comes: in each list Down opens it, Down
    // moves, Return takes the item and Tab goes on; then the name, and Return for Go. Where the
    // selection is not built yet (it never shows), the test does what its Go does: fills the
    // pupil record from the lists' texts and starts the session.
    static void ThroughTheIntroToTheVariant(TScenario& run) {
        static bool selectionBuilt = false;
        run.Then(
               "the intro is up", [] { return SplashWindow() && SplashWindow()->isVisible(); },
               [] { Key(SplashWindow(), Qt::Key_Space, " "); })
            .Then(
                "the selection has taken over", [] { return !SplashWindow()->isVisible(); },
                [] { selectionBuilt = SelectionWindow()->isVisible(); });
        // One key a step: an opening list runs a loop of its own, inside which the next step
        // goes on.
        auto typed = [&run](int key, const char* utf8) {
            run.Then(
                "a key for the selection", [] { return true; },
                [key, utf8] {
                    if (selectionBuilt)
                        Typed(key, utf8);
                });
        };
        for (int list = 0; list < 3; ++list) {
            typed(Qt::Key_Down, "");
            typed(Qt::Key_Down, "");
            typed(Qt::Key_Return, "\r");
            typed(Qt::Key_Tab, "\t");
        }
        for (const char* letter : {"М", "а", "ш", "а"})
            typed(0, letter);
        typed(Qt::Key_Return, "\r");
        run.Then(
            "the variant is chosen", [] { return true; },
            [] {
                if (selectionBuilt)
                    return;
                const TClass& c = Running->Tasks->Classes.at(0);
                const TTheme& t = c.Themes.at(0);
                TSelection first;
                first.PupilName = Utf8ToAnsi("Маша");
                first.Class = first.Theme = first.Variant = 0;
                first.ClassText = std::string(c.Name);
                first.ThemeText = std::string(t.Name);
                first.VariantText = std::string(t.Variants.at(0).Name);
                Running->CurrentPupil->Init(first.PupilName, first.ClassText, first.ThemeText,
                                            first.VariantText);
                MainWindow()->StartSession(first);
            });
    }

    // Out through the exit question, answered "quit", from the selection when it is up, else
    // from the main window.
    static void Quit() {
        if (!SelectionWindow()->isVisible()) {
            CloseMainAndQuit();
            return;
        }
        auto* answer = new QTimer;
        answer->setInterval(20);
        QObject::connect(answer, &QTimer::timeout, [answer] {
            if (ExitWindow()->isVisible()) {
                Key(ExitWindow(), Qt::Key_3, "3");
                answer->stop();
                answer->deleteLater();
            }
        });
        answer->start();
        SelectionWindow()->close();
    }

    TSandbox Box;
};

std::vector<std::string> Lines(const std::string& file) {
    std::vector<std::string> out;
    std::size_t from = 0;
    for (std::size_t end = file.find("\r\n"); end != std::string::npos;
         from = end + 2, end = file.find("\r\n", from))
        out.push_back(file.substr(from, end - from));
    EXPECT_EQ(from, file.size()) << "the file ends with CR LF";
    return out;
}

} // namespace

TEST_F(SessionRun, AWholeSessionByKeysEndsInItsResultsBlock) {
    TScenario run;
    ThroughTheIntroToTheVariant(run);
    std::vector<std::string> expected;
    run.Then(
           "the comma is asked", [] { return Session().Answering(); },
           [] {
               MainKey(Qt::Key_Comma, ",");
               MainKey(Qt::Key_Return, "\r");
           })
        .Then(
            "the first example is done", [] { return Session().ExampleDone(); },
            [] { MainKey(Qt::Key_Return, "\r"); })
        .Then(
            "the praise is up", [] { return SplashWindow()->isVisible(); },
            [] { Key(SplashWindow(), Qt::Key_Space, " "); })
        .Then(
            "the second example is asked",
            [] { return !SplashWindow()->isVisible() && Session().ExampleIndex() == 1; },
            [] {
                // "ы" typed in the Latin layout, then the right "и".
                MainKey(Qt::Key_S, "s");
                MainKey(Qt::Key_Return, "\r");
                EXPECT_EQ(Session().CheckPointMistakes(), 1);
                MainKey(0, "и");
                MainKey(Qt::Key_Return, "\r");
                EXPECT_EQ(Session().CheckPointIndex(), 1);
                // The rule as a prompt, then two wrong answers.
                MainKey(Qt::Key_F2);
                MainKey(0, "и");
                MainKey(Qt::Key_Return, "\r");
                MainKey(0, "и");
                MainKey(Qt::Key_Return, "\r");
            })
        .Then(
            "the right answer is up", [] { return SplashWindow()->isVisible(); },
            [] { Key(SplashWindow(), Qt::Key_Space, " "); })
        .Then(
            "the second example is done",
            [] { return !SplashWindow()->isVisible() && Session().ExampleDone(); },
            [] { MainKey(Qt::Key_Return, "\r"); })
        .Then(
            "the results are shown", [] { return Session().ResultsShowing(); },
            [&expected] {
                EXPECT_TRUE(MainWindow()->ResultsVisible());
                EXPECT_FALSE(MainWindow()->ButtonPanelVisible());
                const std::string spell = " " + strSpellingMistakes + " 3:";
                const std::string indent(1 + strSpellingMistakes.size(), ' ');
                expected = {strResultFileCaption, "",
                            "", // the date
                            strPupil + " " + Utf8ToAnsi("Маша"),
                            // As the selection's lists show them.
                            strVarClass + " " + Running->CurrentPupil->GetClass(),
                            strVarTheme + " " + Running->CurrentPupil->GetTheme(),
                            strVarVariant + " " + Running->CurrentPupil->GetVariant(),
                            strQuestionsQuantity + " " +
                                std::to_string(Running->CurrentPupil->QuestionsCount()),
                            strMistakesQuantity + " 3", spell, indent + Utf8ToAnsi("ЖИШИ"),
                            indent + Utf8ToAnsi("БГ"), indent + Utf8ToAnsi("БГ"),
                            " " + strNoPunctuationMistakes, strPrompts + " 1", strMark + " 3"};
                // Back to the selection by a key, then out through the question.
                // With the selection built, its modal run starts inside this key.
                MainKey(Qt::Key_A, "a");
            })
        .Then(
            "the selection is back",
            [] { return !Session().ResultsShowing() && !MainWindow()->ResultsVisible(); },
            [] { Quit(); });
    Run(run);

    ASSERT_FALSE(expected.empty());
    std::vector<std::string> lines = Lines(ResultsFile());
    ASSERT_GE(lines.size(), expected.size());
    EXPECT_FALSE(lines[2].empty()) << "the date";
    lines[2].clear();
    lines.resize(expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(AnsiToUtf8(lines[i]), AnsiToUtf8(expected[i])) << "line " << i;
}

TEST_F(SessionRun, EscapeAndAnotherVariantWriteAnInterruptedBlock) {
    TScenario run;
    ThroughTheIntroToTheVariant(run);
    run.Then(
           "the comma is asked", [] { return Session().Answering(); },
           [] {
               // A wrong answer first, so that the block has something to say.
               MainKey(Qt::Key_Delete);
               MainKey(Qt::Key_Return, "\r");
               // Esc, and the question answered "choose another variant".
               auto* answer = new QTimer;
               answer->setInterval(20);
               QObject::connect(answer, &QTimer::timeout, [answer] {
                   if (ExitWindow()->isVisible()) {
                       EXPECT_FALSE(MainWindow()->ResultsVisible());
                       Key(ExitWindow(), Qt::Key_2, "2");
                       answer->stop();
                       answer->deleteLater();
                   }
               });
               answer->start();
               MainKey(Qt::Key_Escape, "\x1b");
           })
        .Then(
            "the selection is opened again",
            [] { return !ExitWindow()->isVisible() && !MainWindow()->ButtonPanelVisible(); },
            [this] {
                const std::vector<std::string> lines = Lines(ResultsFile());
                ASSERT_EQ(lines.size(), 14u);
                EXPECT_EQ(lines[0], strResultFileCaption);
                EXPECT_EQ(lines[8], strMistakesQuantity + " 1");
                EXPECT_EQ(lines[9], " " + strNoSpellingMistakes);
                EXPECT_EQ(lines[10], " " + strPunctuationMistakes + " 1:");
                EXPECT_EQ(lines[11],
                          std::string(1 + strPunctuationMistakes.size(), ' ') + Utf8ToAnsi("ОЧ"));
                EXPECT_EQ(lines.back(), strBroken);
                EXPECT_TRUE(MainWindow()->isVisible());
                Quit();
            });
    Run(run);
}

TEST_F(SessionRun, WorkOnMistakesPlaysTheWrongSentenceAgainAndWritesItsOwnBlock) {
    TScenario run;
    ThroughTheIntroToTheVariant(run);
    std::string variant;
    // The labels as the running trainer writes them; start-up fills them and the end clears them.
    std::string variantLabel, roundLabel, mistakesLabel, markLabel;
    run.Then(
           "the comma is asked", [] { return Session().Answering(); },
           [&] {
               variantLabel = strVarVariant;
               roundLabel = strWorkOnMistakes;
               mistakesLabel = strMistakesQuantity;
               markLabel = strMark;
               // Wrong first, then right: the first sentence has a mistake.
               MainKey(Qt::Key_Delete);
               MainKey(Qt::Key_Return, "\r");
               MainKey(Qt::Key_Comma, ",");
               MainKey(Qt::Key_Return, "\r");
           })
        .Then(
            "the first example is done", [] { return Session().ExampleDone(); },
            [] { MainKey(Qt::Key_Return, "\r"); })
        .Then(
            "the second example is asked",
            [] { return Session().Answering() && Session().ExampleIndex() == 1; },
            [] {
                MainKey(0, "и");
                MainKey(Qt::Key_Return, "\r");
                MainKey(0, "е");
                MainKey(Qt::Key_Return, "\r");
            })
        .Then(
            "the second example is done", [] { return Session().ExampleDone(); },
            [] { MainKey(Qt::Key_Return, "\r"); })
        .Then(
            "the results offer a round",
            [] { return Session().ResultsShowing() && !SplashWindow()->isVisible(); },
            [&variant] {
                EXPECT_TRUE(Session().RoundOffered());
                variant = Running->CurrentPupil->GetVariant();
                MainKey(Qt::Key_F3);
            })
        .Then(
            "the round asks the first sentence again", [] { return Session().Answering(); },
            [] {
                EXPECT_TRUE(MainWindow()->ButtonPanelVisible());
                EXPECT_FALSE(MainWindow()->ResultsVisible());
                ASSERT_EQ(Session().Examples().size(), 1u);
                EXPECT_EQ(Session().ExampleIndex(), 0);
                EXPECT_EQ(Session().RightChar(), ',');
                MainKey(Qt::Key_Comma, ",");
                MainKey(Qt::Key_Return, "\r");
            })
        .Then(
            "the round's sentence is done", [] { return Session().ExampleDone(); },
            [] { MainKey(Qt::Key_Return, "\r"); })
        .Then(
            "the round's results", [] { return Session().ResultsShowing(); },
            [] {
                EXPECT_TRUE(MainWindow()->ResultsVisible());
                EXPECT_FALSE(Session().RoundOffered());
                MainKey(Qt::Key_A, "a");
            })
        .Then(
            "the selection is back", [] { return !Session().ResultsShowing(); }, [] { Quit(); });
    Run(run);

    const std::vector<std::string> lines = Lines(ResultsFile());
    ASSERT_EQ(lines.size(), 1u + 13u + 12u);
    // The session: one punctuation mistake.
    EXPECT_EQ(lines[6], variantLabel + " " + variant);
    EXPECT_EQ(lines[8], mistakesLabel + " 1");
    EXPECT_EQ(lines[13], markLabel + " 4");
    // The round: its own block, read by every reader as a session.
    EXPECT_EQ(lines[14], "");
    EXPECT_EQ(lines[19], variantLabel + " " + roundLabel + " " + variant);
    EXPECT_EQ(lines[21], mistakesLabel + " 0");
    EXPECT_EQ(lines[25], markLabel + " 5");

    std::ostringstream out, err;
    ASSERT_EQ(RunReportTool(
                  {"--language", Box.ContentDir() + "Zarvo.flt", Box.Root() + "program/Zarvo.rez"},
                  ZARVO_BIN_DIR, out, err),
              0)
        << err.str();
    const std::string report = out.str();
    // One session; the round is listed apart, clean.
    EXPECT_NE(report.find("Sessions: 1,"), std::string::npos) << report;
    EXPECT_NE(report.find("Work on mistakes:\n"), std::string::npos) << report;
    EXPECT_NE(report.find("Маша                             1  yes\n"), std::string::npos)
        << report;
    EXPECT_EQ(report.find("Work on mistakes: "), std::string::npos)
        << "no round among the sessions";
}
