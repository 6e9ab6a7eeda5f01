// The exercise screen's wiring: widgets, layout, keys and clicks into the session, and the calls
// into the other windows, with the bundled content and stand-ins for the other windows.

#include "screens/frmMain.h"
#include "app/Globals.h"
#include "app/Strings.h"
#include "config/Config.h"
#include "content/Task.h"
#include "platform/Image.h"
#include "platform/Text.h"
#include "render/FFont.h"
#include "screens/FButton.h"
#include "session/Pupil.h"
#include "support/MessageRecorder.h"
#include "support/Sandbox.h"
#include "support/Watchdog.h"

#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QProcess>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <algorithm>
#include <cstdlib>
#include <gtest/gtest.h>
#include <memory>

using namespace platform;

namespace {

class TFakeRule : public IRuleWindow {
public:
    void ShowRule(const std::string& rule, int x, int y, const QRect& box,
                  const TSentenceOnScreen& sentence) override {
        Shown.push_back({rule, QPoint(x, y), box, sentence});
        Up = true;
    }
    void HideRule() override {
        ++Hides;
        Up = false;
    }
    bool RuleShown() const override { return Up; }
    bool Up = false;
    struct TCall {
        std::string Rule;
        QPoint At;
        QRect Box;
        TSentenceOnScreen Sentence;
    };
    std::vector<TCall> Shown;
    int Hides = 0;
};

class TFakeSplash : public ISplashWindow {
public:
    void ShowPraise() override { ++Praises; }
    void ShowRight(int top) override { Rights.push_back(top); }
    void ShowSlip() override { ++Slips; }
    void CloseSplash() override { ++Closes; }
    void HideSplash() override {}
    int Praises = 0, Slips = 0, Closes = 0;
    std::vector<int> Rights;
};

class TFakeHelp : public IHelpWindow {
public:
    void ShowHelp() override { ++Shown; }
    void HideHelp() override {}
    int Shown = 0;
};

class TFakeVariant : public ISelectionWindow {
public:
    void ShowSelection() override { ++Shown; }
    bool ActivateSelection() override { return false; }
    int Shown = 0;
};

class TFakeExit : public IExitQuestion {
public:
    int Ask(bool allowContinue) override {
        Asked.push_back(allowContinue);
        return Answer;
    }
    std::vector<bool> Asked;
    int Answer = 1;
};

std::pair<int, int> ShotSize() {
    const char* s = std::getenv("ZARVO_SHOTS_SIZE");
    int w = 1024, h = 768;
    if (s)
        std::sscanf(s, "%dx%d", &w, &h);
    return {w, h};
}

class MainScreen : public testing::Test {
protected:
    explicit MainScreen(TScreenMetrics screen = {1024, 768, 32}) : Box(screen) {}
    ~MainScreen() override {
        Form.hide();
        ClearInterfaceStrings();
    }
    // The bundled content in the sandbox and a configuration reading it, before the fonts, the
    // library and the form are made from them.
    bool PrepareContent() {
        for (const char* name : {"Zarvo.fff", "Zarvo.ff", "RFPF"})
            Box.CopyBuiltContent(name);
        SetDefaultInterfaceStrings();
        PictureFolder = "RFPF\\";
        Settings->Path = Box.Root() + "program/";
        // Where the finished and interrupted sessions are written.
        QDir().mkpath(QString::fromStdString(Settings->Path));
        Settings->ScreenSize = 3;
        return true;
    }
    // The first variant of the first theme of the first class.
    static TSelection FirstVariant() {
        TSelection s;
        s.Class = s.Theme = s.Variant = 0;
        return s;
    }

    // Created, shown and laid out as start-up leaves the main window, then a session started.
    void Start() {
        ASSERT_FALSE(OwnTasks->Classes.empty()) << "the bundled content is not built";
        Form.FormCreate();
        Form.show();
        QApplication::processEvents();
        Form.StartSession(FirstVariant());
    }
    void Key(int key, const QString& text = QString()) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(&Form, &press);
    }
    // The answer button that carries answer `a` (1 right).
    TFButton* ButtonOf(int a) {
        TFButton* b[3] = {Form.fbtnAnswer1, Form.fbtnAnswer2, Form.fbtnAnswer3};
        for (int i = 0; i < 3; ++i)
            if (Form.Session().ButtonAnswer()[static_cast<std::size_t>(i)] == a)
                return b[i];
        return nullptr;
    }
    void Click(TFButton* b) {
        ASSERT_NE(b, nullptr);
        ASSERT_TRUE(b->isVisible());
        b->OnClick();
    }
    void AnswerRight() {
        Click(ButtonOf(1));
        Click(Form.fbtnAccept);
    }
    bool Visible(QWidget* w) const { return w->isVisible(); }

    TSandbox Box;
    std::unique_ptr<TConfig> Settings = std::make_unique<TConfig>(TConfig::TSettingsOnly{});
    bool ContentReady = PrepareContent();
    std::unique_ptr<TFFont> OwnFonts = std::make_unique<TFFont>(Settings->GetFontFile());
    std::unique_ptr<TTask> OwnTasks = std::make_unique<TTask>(Box.ContentDir() + "Zarvo.ff");
    TFPupil Pupil{"", "", "", ""};
    TFakeRule Rule;
    TFakeSplash Splash;
    TFakeHelp Help;
    TFakeVariant Variant;
    TFakeExit Exit;
    TWatchdog Watchdog{30000};
    TfrmMain Form{{Settings.get(), OwnFonts.get(), OwnTasks.get(), &Pupil, &Rule, &Help, &Splash,
                   &Variant, &Exit}};
};

} // namespace

TEST_F(MainScreen, FirstCheckPointWithItsButtonsInPlace) {
    Start();
    const TExerciseSession& s = Form.Session();
    ASSERT_TRUE(s.Answering());
    EXPECT_EQ(s.CheckPointIndex(), 0);
    EXPECT_TRUE(Visible(Form.panTest));
    EXPECT_FALSE(Visible(Form.imgResult));
    // Layout: the box above the 108-pixel panel, Exit, Hint, Help from the right edge.
    const int cw = Form.width(), ch = Form.height();
    EXPECT_EQ(Form.scbExample->height(), ch - 108);
    EXPECT_EQ(Form.fbtnExit->geometry(), QRect(cw - 130 - 6, ch - 40 - 10, 130, 40));
    EXPECT_EQ(Form.fbtnHint->x(), Form.fbtnExit->x() - 130 - 4);
    EXPECT_EQ(Form.fbtnHelp->x(), Form.fbtnHint->x() - 130 - 4);
    // The answer buttons carry their faces and stand 16 pixels apart around half of Help's left.
    const int centre = Form.fbtnHelp->x() / 2;
    EXPECT_TRUE(Visible(Form.fbtnAnswer1));
    EXPECT_TRUE(Visible(Form.fbtnAnswer2));
    EXPECT_EQ(Visible(Form.fbtnAnswer3), s.AlternativeCount() == 2);
    EXPECT_EQ(Form.fbtnAnswer1->size(), QSize(70, 94));
    EXPECT_EQ(Form.fbtnAnswer1->y(), Form.scbExample->height() + 6);
    if (s.AlternativeCount() == 1) {
        EXPECT_EQ(Form.fbtnAnswer1->x(), centre - 70 - 8);
        EXPECT_EQ(Form.fbtnAnswer2->x(), centre + 8);
    }
    EXPECT_TRUE(Visible(Form.imgArrow));
    EXPECT_FALSE(Visible(Form.fbtnAccept));
    EXPECT_EQ(Form.fbtnAccept->toolTip(), FromAnsi(hintAccept));
    EXPECT_EQ(Form.fbtnHint->toolTip(), FromAnsi(hintHint));
    // The picture: navy, text, and the pencil above the check point's cell.
    const TBitmap& picture = Form.imgExample->Picture();
    EXPECT_EQ(picture.Width(), 1024);
    const TExampleLayout& d = s.Display();
    int pencil = 0;
    for (int y = d.CellY - 39; y < d.CellY - 7; ++y)
        for (int x = d.CellX + d.Metrics.W / 2; x < d.CellX + d.Metrics.W / 2 + 23; ++x)
            pencil += picture.GetPixel(x, y) != clNavy;
    EXPECT_GT(pencil, 60);
    int ink = 0;
    for (int x = d.LeftMargin(); x < d.LeftMargin() + 10 * d.Metrics.W; ++x)
        ink += picture.GetPixel(x, d.TopMargin + d.Metrics.H / 2) == clWhite;
    EXPECT_GT(ink, 5);
    // The frame keeps to the box's bottom-right corner.
    const QWidget* client = Form.scbExample->viewport();
    EXPECT_EQ(Form.imgFrame->geometry().bottomRight(),
              QPoint(client->width() - 1, client->height() - 1));
    EXPECT_EQ(Form.imgFrame->size(), QSize(340, 82));
}

TEST_F(MainScreen, KeysAndClicksReachTheSession) {
    Start();
    const TExerciseSession& s = Form.Session();
    Key(Qt::Key_F5);
    EXPECT_EQ(s.ChosenAnswer(), s.ButtonAnswer()[0]);
    EXPECT_TRUE(Visible(Form.fbtnAccept));
    EXPECT_TRUE(Visible(Form.fbtnCancel));
    EXPECT_FALSE(Visible(Form.fbtnAnswer1));
    Key(Qt::Key_Backspace, "\b");
    EXPECT_EQ(s.ChosenAnswer(), 0);
    EXPECT_TRUE(Visible(Form.fbtnAnswer1));
    // Typed: the right answer's own character.
    const std::string text =
        std::string(OwnTasks->Classes[0].Themes[0].Variants[0].Examples[0].Text);
    const char right = text[static_cast<std::size_t>(s.CurrentCheckPoint().Position - 1)];
    Key(0, FromAnsi(std::string(1, right)));
    EXPECT_EQ(s.ChosenAnswer(), 1);
    Key(Qt::Key_Return, "\r");
    EXPECT_EQ(s.CheckPointIndex(), 1);
    EXPECT_EQ(Pupil.MistakesCount(), 0);
    // A key that matches nothing brings the slip picture.
    Key(Qt::Key_Z, "z");
    EXPECT_EQ(Splash.Slips, 1);
    // F1 help, F2 the rule as a prompt.
    Key(Qt::Key_F1);
    EXPECT_EQ(Help.Shown, 1);
    Key(Qt::Key_F2);
    ASSERT_EQ(Rule.Shown.size(), 1u);
    EXPECT_EQ(Pupil.PromptsCount(), 1);
    // Esc asks the exit question, with "keep working" allowed; keeping works on unchanged.
    Key(Qt::Key_Escape, "\x1b");
    EXPECT_EQ(Exit.Asked, std::vector<bool>{true});
    EXPECT_TRUE(Form.isVisible());
    EXPECT_EQ(s.CheckPointIndex(), 1);
    Exit.Answer = 2;
    Click(Form.fbtnExit);
    EXPECT_TRUE(Form.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return Variant.Shown == 1; }, 2000));
}

TEST_F(MainScreen, WrongAnswersBringTheRuleBesideTheCellAndThenTheRightAnswer) {
    Start();
    const TExerciseSession& s = Form.Session();
    const std::string rule = s.CurrentCheckPoint().Rule;
    Click(ButtonOf(2));
    Click(Form.fbtnAccept);
    ASSERT_EQ(Rule.Shown.size(), 1u);
    EXPECT_EQ(Rule.Shown[0].Rule, rule);
    const int scroll = Form.scbExample->verticalScrollBar()->value();
    EXPECT_EQ(Rule.Shown[0].At, Form.scbExample->viewport()->mapToGlobal(
                                    QPoint(s.Display().CellX, s.Display().CellY - scroll)));
    EXPECT_EQ(Rule.Shown[0].Box.size(), Form.scbExample->size());
    // The window is told where every line stands, and that the cell's line and the pointer above
    // it must stay in sight.
    const TSentenceOnScreen& sentence = Rule.Shown[0].Sentence;
    EXPECT_EQ(sentence.Lines.size(), s.Display().Lines.size());
    EXPECT_TRUE(sentence.KeepClear.contains(Rule.Shown[0].At));
    const QPoint pointerTop = Rule.Shown[0].At + QPoint(s.Display().Metrics.W / 2, -39);
    EXPECT_TRUE(sentence.KeepClear.contains(pointerTop));
    EXPECT_EQ(std::count_if(sentence.Lines.begin(), sentence.Lines.end(),
                            [&](const QRect& l) { return l.contains(Rule.Shown[0].At); }),
              1);
    EXPECT_EQ(Pupil.PromptsCount(), 0);
    Click(ButtonOf(2));
    Click(Form.fbtnAccept);
    ASSERT_EQ(Splash.Rights.size(), 1u);
    EXPECT_EQ(Splash.Rights[0],
              Form.scbExample->mapToGlobal(QPoint(0, Form.scbExample->height())).y());
    EXPECT_EQ(Pupil.MistakesCount(), 2);
    EXPECT_EQ(s.CheckPointIndex(), 1);
    // Both strokes stay under the first check point's cell.
    const TMistakeMark m = s.Display().MistakeMarks.at(0);
    const TBitmap& picture = Form.imgExample->Picture();
    const int y = m.Y + s.Display().Metrics.H;
    EXPECT_EQ(picture.GetPixel(m.X + 2, y), clRed);
    EXPECT_EQ(picture.GetPixel(m.X + 2, y + 4), clRed);
}

TEST_F(MainScreen, WholeVariantEndsOnTheResultsAndAKeyReturnsToTheSelection) {
    Start();
    const TExerciseSession& s = Form.Session();
    const std::size_t examples = OwnTasks->Classes[0].Themes[0].Variants[0].Examples.size();
    for (int guard = 0; guard < 200 && !s.ResultsShowing(); ++guard) {
        if (s.ExampleDone()) {
            EXPECT_TRUE(Visible(Form.fbtnFurther));
            Click(Form.fbtnFurther);
        } else {
            AnswerRight();
        }
    }
    ASSERT_TRUE(s.ResultsShowing());
    EXPECT_EQ(s.ExampleIndex(), static_cast<int>(examples) - 1);
    EXPECT_EQ(Splash.Praises, static_cast<int>(examples) - 1);
    EXPECT_FALSE(Visible(Form.panTest));
    EXPECT_TRUE(Visible(Form.imgResult));
    EXPECT_EQ(Form.imgResult->Picture().Width(), Form.ResultsBackground.Width());
    Key(Qt::Key_Space, " ");
    EXPECT_EQ(Variant.Shown, 1);
    EXPECT_FALSE(s.ResultsShowing());
}

TEST_F(MainScreen, ProgressCountsTheSentencesAndCoversNoButton) {
    Start();
    const TExerciseSession& s = Form.Session();
    const auto count = s.Examples().size();
    ASSERT_GT(count, 1u);
    int seen = -1;
    for (int guard = 0; guard < 200 && !s.ResultsShowing(); ++guard) {
        if (s.ExampleIndex() != seen) {
            seen = s.ExampleIndex();
            EXPECT_EQ(Form.lblProgress->text().toStdString(),
                      std::to_string(seen + 1) + " / " + std::to_string(count));
            EXPECT_TRUE(Form.lblProgress->isVisible());
            for (const TFButton* b : {Form.fbtnAnswer1, Form.fbtnAnswer2, Form.fbtnAnswer3,
                                      Form.fbtnAccept, Form.fbtnFurther, Form.fbtnHelp})
                EXPECT_FALSE(b->isVisible() &&
                             Form.lblProgress->geometry().intersects(b->geometry()))
                    << b->objectName().toStdString();
            EXPECT_GE(Form.lblProgress->y(), Form.scbExample->height()) << "below the sentence";
        }
        if (s.ExampleDone())
            Click(Form.fbtnFurther);
        else
            AnswerRight();
    }
    EXPECT_EQ(seen, static_cast<int>(count) - 1);
    EXPECT_EQ(ProgressText(-1, 10), "");
    EXPECT_EQ(ProgressText(2, 10), "3 / 10");
}

TEST_F(MainScreen, ASmallerWindowLaysTheSentenceAndAnswersOutAgain) {
    Start();
    const TExerciseSession& s = Form.Session();
    // A wrong answer brings the rule up.
    Click(ButtonOf(2));
    Click(Form.fbtnAccept);
    ASSERT_EQ(Rule.Shown.size(), 1u);
    const int index = s.CheckPointIndex();
    const auto answers = s.ButtonAnswer();

    Form.resize(900, 600);
    QApplication::processEvents();
    const QWidget* client = Form.scbExample->viewport();
    const TExampleLayout& d = s.Display();
    EXPECT_EQ(Form.scbExample->height(), 600 - 108);
    EXPECT_LE(d.LeftMargin() + d.LineChars * d.Metrics.W, client->width()) << "no line is cut";
    EXPECT_GE(d.LeftMargin(), 0);
    EXPECT_LT(d.CellX + d.Metrics.W, client->width());
    EXPECT_EQ(Form.imgExample->width(), d.PictureWidth);
    // The same check point with the same answers, the buttons around half of Help's new left.
    EXPECT_EQ(s.CheckPointIndex(), index);
    EXPECT_EQ(s.ButtonAnswer(), answers);
    const int centre = Form.fbtnHelp->x() / 2;
    if (s.AlternativeCount() == 1) {
        EXPECT_EQ(Form.fbtnAnswer2->x(), centre + 8);
    }
    // Still shown: the pupil is still choosing.
    EXPECT_TRUE(Form.fbtnAnswer1->isVisible());
    EXPECT_TRUE(Form.fbtnAnswer2->isVisible());
    EXPECT_EQ(Form.fbtnAnswer3->isVisible(), s.AlternativeCount() == 2);
    EXPECT_EQ(Form.fbtnExit->x(), 900 - 130 - 6);
    // The rule that was up moved with the cell.
    ASSERT_GE(Rule.Shown.size(), 2u);
    const int scroll = Form.scbExample->verticalScrollBar()->value();
    EXPECT_EQ(Rule.Shown.back().At, client->mapToGlobal(QPoint(d.CellX, d.CellY - scroll)));
    EXPECT_EQ(Rule.Shown.back().Box.size(), Form.scbExample->size());

    // Un-maximised, it asks the window manager to maximise it again.
    Form.setWindowState(Qt::WindowMaximized);
    Form.setWindowState(Qt::WindowNoState);
    ASSERT_FALSE(Form.isMaximized());
    EXPECT_TRUE(QTest::qWaitFor([&] { return Form.isMaximized(); }, 2000));
}

TEST_F(MainScreen, MissingPanelPictureIsReportedAndTheRestLoads) {
    QFile::remove(QString::fromStdString(Box.ContentDir() + "RFPF/button3.fpf"));
    EXPECT_ANY_THROW(Form.FormCreate());
    EXPECT_EQ(Form.imgArrow->Picture().Width(), 362);
    EXPECT_EQ(Form.fbtnFurther->UpImage().Width(), 220);
    EXPECT_EQ(Form.imgPointer->Picture().Width(), 23);
}

// Not a check: pictures of the screen for a person to look at, taken under a real X server when
// ZARVO_SHOTS names a folder (ZARVO_SHOTS_SIZE gives the screen, 1024x768 by default).
class MainScreenShots : public MainScreen {
protected:
    MainScreenShots() : MainScreen({ShotSize().first, ShotSize().second, 24}) {}
    void SetUp() override {
        MainScreen::SetUp();
        if (qEnvironmentVariableIsEmpty("ZARVO_SHOTS"))
            GTEST_SKIP() << "ZARVO_SHOTS is not set";
        Form.FormCreate();
        Form.setGeometry(0, 0, ShotSize().first, ShotSize().second);
        Form.show();
        QTest::qWait(300);
    }
    void Shot(const char* name) {
        Form.repaint();
        QTest::qWait(400);
        const QString file = QDir(qEnvironmentVariable("ZARVO_SHOTS"))
                                 .filePath(QStringLiteral("%1x%2-%3.png")
                                               .arg(ShotSize().first)
                                               .arg(ShotSize().second)
                                               .arg(name));
        EXPECT_EQ(QProcess::execute("import", {"-window", "root", file}), 0);
    }
};

TEST_F(MainScreenShots, States) {
    Form.StartSession(FirstVariant());
    const TExerciseSession& s = Form.Session();
    Shot("1-choosing");
    // A check point with a no-character answer, shown chosen.
    for (int guard = 0; guard < 50; ++guard) {
        const char a[3] = {s.RightChar(), s.CurrentCheckPoint().Alternative1,
                           s.CurrentCheckPoint().Alternative2};
        int at = 0;
        for (int i = 0; i < 3; ++i)
            if (a[i] == '@')
                at = i + 1;
        if (at && ButtonOf(at)) {
            Click(ButtonOf(at));
            break;
        }
        AnswerRight();
        if (s.ExampleDone())
            Click(Form.fbtnFurther);
    }
    Shot("2-confirming-at");
    Click(Form.fbtnCancel);
    Click(ButtonOf(2));
    Click(Form.fbtnAccept);
    Shot("3-first-mistake");
    while (!s.ExampleDone())
        AnswerRight();
    Shot("4-example-done");
}

TEST_F(MainScreen, QuittingThroughTheExitQuestionClosesTheWindowOnce) {
    Start();
    Exit.Answer = 3;
    Click(Form.fbtnExit);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Form.isVisible(); }, 2000));
    EXPECT_EQ(Exit.Asked, std::vector<bool>{true});
}

// --- the end of a session ---

namespace {

class SessionEnd : public MainScreen {
protected:
    SessionEnd() : MainScreen({800, 600, 32}) {}
    void FinishVariant() {
        const TExerciseSession& s = Form.Session();
        for (int guard = 0; guard < 200 && !s.ResultsShowing(); ++guard) {
            if (s.ExampleDone())
                Click(Form.fbtnFurther);
            else
                AnswerRight();
        }
        ASSERT_TRUE(s.ResultsShowing());
    }
    std::string ResultsFile() const { return Box.Read("program/Zarvo.rez"); }
    int Blocks() const {
        const std::string f = ResultsFile();
        int n = 0;
        for (std::size_t at = f.find(strPupil); at != std::string::npos;
             at = f.find(strPupil, at + 1))
            ++n;
        return n;
    }
    static bool EndsWith(const std::string& s, const std::string& tail) {
        return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
    }
};

} // namespace

TEST_F(SessionEnd, FinishedVariantDrawsTheFiguresAndWritesOneBlock) {
    Pupil.Init("Petya", "5", "Theme", "Variant one");
    Start();
    const int praisesBefore = Splash.Praises;
    FinishVariant();
    const int examples =
        static_cast<int>(OwnTasks->Classes[0].Themes[0].Variants[0].Examples.size());
    // The last example's Further brings no praise of its own.
    EXPECT_EQ(Splash.Praises - praisesBefore, examples - 1);
    EXPECT_EQ(Blocks(), 1);
    EXPECT_TRUE(EndsWith(ResultsFile(), strMark + " 5\r\n"));
    // The text stands at (800 div 8 + 10, 600 div 6 + 20), black over the picture.
    const TBitmap& shown = Form.imgResult->Picture();
    ASSERT_EQ(shown.Width(), 800);
    int ink = 0;
    for (int y = 120; y < 120 + SizeHeight(OwnFonts->LargeSize()); ++y)
        for (int x = 110; x < 110 + 8 * SizeWidth(OwnFonts->LargeSize()); ++x)
            ink += shown.GetPixel(x, y) == clBlack;
    EXPECT_GT(ink, 40);
    for (int y = 0; y < 120; ++y)
        ASSERT_NE(shown.GetPixel(110, y), clBlack) << y;
    // A click on the picture goes back to the selection; a second one does nothing more.
    Form.imgResult->OnClick();
    EXPECT_EQ(Variant.Shown, 1);
    Form.imgResult->OnClick();
    EXPECT_EQ(Variant.Shown, 1);
}

TEST_F(SessionEnd, ControlKeysStayOnTheResultsAndACharacterLeavesThem) {
    Start();
    FinishVariant();
    Key(Qt::Key_Escape, "\x1b");
    Key(Qt::Key_Backspace, "\b");
    Key(Qt::Key_Delete, "\x7f");
    Key(Qt::Key_F2);
    EXPECT_TRUE(Form.Session().ResultsShowing());
    EXPECT_TRUE(Exit.Asked.empty());
    EXPECT_EQ(Variant.Shown, 0);
    Key(Qt::Key_A, "a");
    EXPECT_EQ(Variant.Shown, 1);
}

TEST_F(SessionEnd, ExitQuestionDuringTheExercise) {
    Start();
    const TExerciseSession& s = Form.Session();
    AnswerRight();
    Click(ButtonOf(2));
    const int point = s.CheckPointIndex(), chosen = s.ChosenAnswer();
    // Keep working: the same check point with the same chosen answer, nothing written.
    Exit.Answer = 1;
    Key(Qt::Key_Escape, "\x1b");
    EXPECT_EQ(s.CheckPointIndex(), point);
    EXPECT_EQ(s.ChosenAnswer(), chosen);
    EXPECT_TRUE(Visible(Form.fbtnAccept));
    EXPECT_FALSE(Box.Exists("program/Zarvo.rez"));
    // Another variant: an interrupted block, then the selection.
    Exit.Answer = 2;
    Key(Qt::Key_Escape, "\x1b");
    EXPECT_EQ(Exit.Asked, (std::vector<bool>{true, true}));
    EXPECT_EQ(Blocks(), 1);
    EXPECT_TRUE(EndsWith(ResultsFile(), strPrompts + " 0\r\n" + strBroken + "\r\n"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Variant.Shown == 1; }, 2000));
    EXPECT_TRUE(Form.isVisible());
}

TEST_F(SessionEnd, ClosingOnTheResultsOffersTwoAndThreeAndWritesASecondBlock) {
    Start();
    FinishVariant();
    Exit.Answer = 2;
    Form.close();
    EXPECT_EQ(Exit.Asked, std::vector<bool>{false});
    EXPECT_EQ(Blocks(), 2);
    EXPECT_TRUE(EndsWith(ResultsFile(), strBroken + "\r\n"));
    EXPECT_TRUE(QTest::qWaitFor([&] { return Variant.Shown == 1; }, 2000));
    // Quit on the results: the block is written and the window closes.
    Start();
    FinishVariant();
    Exit.Answer = 3;
    Form.close();
    EXPECT_EQ(Blocks(), 4);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !Form.isVisible(); }, 2000));
}

TEST_F(SessionEnd, ClosedWithoutAChoiceWritesNothing) {
    Start();
    Exit.Answer = 0;
    Form.close();
    EXPECT_FALSE(Form.isVisible());
    EXPECT_FALSE(Box.Exists("program/Zarvo.rez"));
}

TEST_F(SessionEnd, UnwritableResultsFileIsReportedOnceAndTheResultsStay) {
    Settings->Path = Box.Root() + "missing/folder/";
    Start();
    FinishVariant();
    const auto boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, strResultFileError);
    EXPECT_TRUE(Visible(Form.imgResult));
    Key(Qt::Key_Space, " ");
    EXPECT_EQ(Variant.Shown, 1);
}

// Not a check: the results screen with a long name and theme, for a person to look at (see
// MainScreenShots).
TEST_F(MainScreenShots, Results) {
    Pupil.Init(Utf8ToAnsi("Александра Константиновна Преображенская-Воскресенская"),
               Utf8ToAnsi("5 класс"),
               Utf8ToAnsi("Знаки препинания при однородных членах предложения и обращениях, "
                          "сложное предложение"),
               Utf8ToAnsi("Вариант 1: Однородные члены, обращение, сложное предложение"));
    Form.StartSession(FirstVariant());
    const TExerciseSession& s = Form.Session();
    for (int guard = 0; guard < 200 && !s.ResultsShowing(); ++guard) {
        if (s.ExampleDone())
            Click(Form.fbtnFurther);
        else
            AnswerRight();
    }
    Shot("5-results");
}
