#include "ScreensFixture.h"

#include "content/FRule.h"
#include "platform/Files.h"
#include "platform/Image.h"
#include "platform/MessageBox.h"
#include "platform/Text.h"
#include "render/FFont.h"
#include "render/SymbolTable.h"
#include "screens/frmRule.h"
#include "support/MessageRecorder.h"

#include <QScreen>
#include <algorithm>

using namespace platform;

namespace {

// A main window that records the keys handed on to it.
class TKeyMain : public TFakeMain {
public:
    void FormKeyDown(WORD& key, TShiftState shift) override {
        Downs.push_back({key, shift});
        if (key == ConsumeDown)
            key = 0;
    }
    void FormKeyPress(char& key) override { Presses += key; }
    std::vector<std::pair<WORD, TShiftState>> Downs;
    std::string Presses;
    WORD ConsumeDown = 0;
};

// A glyph with ink in its left column only, so that every cell shows where it starts.
TSymbol Bar(char ch, std::uint16_t size) {
    TSymbol s;
    s.Code = ch;
    s.Width = static_cast<std::uint8_t>(SizeWidth(size));
    s.Height = static_cast<std::uint8_t>(SizeHeight(size));
    s.Mask.assign(s.Height, std::vector<std::uint8_t>(s.Width, 0));
    for (auto& row : s.Mask)
        row[0] = 1;
    return s;
}

class RuleWindow : public ScreensTest {
protected:
    RuleWindow() {
        for (char c : SymbolTable)
            if (c != ' ')
                TestFonts.FontOfSize(Size12x18)->SetSymbol(Bar(c, Size12x18));
        TestRules.RuleRecords = {{"R3", {"ABC", "&DEF&", "0GH0"}}, {"R1", {"ABCD"}}};
    }
    ~RuleWindow() override {
        Form.hide();
        KeyMain.hide();
    }
    // The area of the sentence: the whole screen width, the upper part of the screen.
    void Show(const std::string& rule, int x = 100, int y = 200,
              QRect area = QRect(0, 0, 1024, 600)) {
        Form.ShowRule(rule, x, y, area);
    }
    TBitmap Page() const { return Form.imgRule->Picture(); }
    void Press(int qtKey, const QString& text = {}, Qt::KeyboardModifiers m = Qt::NoModifier) {
        Key(&Form, qtKey, text, m);
    }

    TFFont TestFonts{TFFont::TBlank{}, 1024}; // small 12 x 18, large 24 x 36
    TFRule TestRules{Box.ContentDir() + "none.frf"};
    TKeyMain KeyMain;
    TfrmRule Form{{&TestFonts, &TestRules, &KeyMain}};
};

} // namespace

TEST_F(RuleWindow, RuleIsSizedDrawnAndShownBelowRightOfTheCell) {
    Show("R3");
    ASSERT_TRUE(Form.isVisible());
    EXPECT_FALSE(Form.isModal());
    EXPECT_EQ(Form.Caption(), "Think...");
    // Outer width 37 small cells; client height three line pitches of 9 + 18 + 4 + 2.
    EXPECT_EQ(Form.frameGeometry().width(), 444);
    EXPECT_EQ(Form.height(), 99);
    const int page = Form.width(); // what the frame leaves
    EXPECT_EQ(Form.imgRule->geometry(), QRect(0, 0, page, 99));
    // Right of the check point's large cell and below it, a margin away.
    EXPECT_EQ(Form.pos(), QPoint(100 + 24 + 9, 200 + 36 + 9));
    // "ABC" centred; an arc over "DEF"; the last line red.
    EXPECT_EQ(Page().GetPixel((page - 36) / 2, 9), HintTextColor);
    EXPECT_EQ(Page().GetPixel((page - 36) / 2 - 1, 9), HintBackColor);
    EXPECT_EQ(Page().GetPixel(page / 2, 33 + 1), HintTextColor);
    EXPECT_EQ(Page().GetPixel((page - 24) / 2, 66 + 9), HintMarkColor);

    // An unknown identifier: the library's one line for a missing rule, too wide for the page.
    Show("nope", 300, 100);
    EXPECT_EQ(Form.height(), 33);
    EXPECT_EQ(Form.pos(), QPoint(333, 145));
    std::vector<int> ink;
    for (int x = 0; x < page; ++x)
        if (Page().GetPixel(x, 9) == HintTextColor)
            ink.push_back(x);
    ASSERT_FALSE(ink.empty());
    EXPECT_LT(ink.front(), 12);
    EXPECT_GE(ink.back(), page - 12);

    // A rule without text lines still shows its window, with nothing but the caption.
    TestRules.RuleRecords.push_back({"E", {}});
    Show("E");
    EXPECT_TRUE(Form.isVisible());
    EXPECT_TRUE(Page().Empty());
}

namespace {
// Lines of a sentence in the large font at `top`, one under the other at the exercise screen's
// line pitch, each as long as given in cells.
TSentenceOnScreen SentenceAt(int left, int top, const TRuleMetrics& m, std::vector<int> cells,
                             int currentLine) {
    TSentenceOnScreen sentence;
    const int pitch = m.EH + 40;
    for (std::size_t i = 0; i < cells.size(); ++i)
        sentence.Lines.emplace_back(left, top + pitch * static_cast<int>(i), cells[i] * m.EW, m.EH);
    sentence.KeepClear = sentence.Lines[currentLine].adjusted(0, -40, 0, 0);
    return sentence;
}

int LinesCovered(const QRect& window, const TSentenceOnScreen& sentence) {
    return static_cast<int>(std::count_if(sentence.Lines.begin(), sentence.Lines.end(),
                                          [&](const QRect& l) { return l.intersects(window); }));
}
} // namespace

TEST_F(RuleWindow, KeptOffTheSentenceAsFarAsTheRoomAllows) {
    const TRuleMetrics m = RuleMetrics(Size12x18, Size24x36, 1024);
    const QRect screen(0, 0, 1024, 768), area(0, 20, 1024, 640);
    // The 1024 x 768 exercise screen: two lines, the check point on the first; the described
    // place (just below the cell) would cut through the second line.
    const QSize outer(444, 245);
    TSentenceOnScreen two = SentenceAt(48, 265, m, {33, 30}, 0);
    const QPoint cell(48 + 4 * m.EW, 266);
    const QPoint described = PlaceRule(cell.x(), cell.y(), 1024, 660, outer, m);
    EXPECT_EQ(LinesCovered(QRect(described, outer), two), 1);
    QRect at(PlaceRuleOffText(cell.x(), cell.y(), area, screen, outer, m, two), outer);
    EXPECT_EQ(LinesCovered(at, two), 0);
    EXPECT_TRUE(area.contains(at));
    // Its title bar is below the second line, not through it, and it stays near the cell.
    EXPECT_GT(at.top(), two.Lines[1].bottom());
    EXPECT_LT(at.top() - two.Lines[1].bottom(), 40);

    // The check point on the second line: the window must not cover that line, the first one
    // may stay visible too since there is room below.
    two.KeepClear = two.Lines[1].adjusted(0, -40, 0, 0);
    at = QRect(PlaceRuleOffText(cell.x(), 341, area, screen, outer, m, two), outer);
    EXPECT_EQ(LinesCovered(at, two), 0);
    EXPECT_FALSE(at.intersects(two.KeepClear));

    // The described place covers nothing: it is kept.
    const TSentenceOnScreen one = SentenceAt(48, 265, m, {33}, 0);
    EXPECT_EQ(PlaceRuleOffText(cell.x(), cell.y(), area, screen, outer, m, one), described);

    // 1920 x 1080 with a long first line and a short second one: no room below the second line,
    // but beside it there is.
    const TRuleMetrics wide = RuleMetrics(Size12x18, Size24x36, 1920);
    const QSize big(890, 440);
    const QRect area2(0, 20, 1920, 950), screen2(0, 0, 1920, 1080);
    const TSentenceOnScreen longShort = SentenceAt(50, 430, wide, {72, 10}, 0);
    at = QRect(PlaceRuleOffText(180, 431, area2, screen2, big, wide, longShort), big);
    EXPECT_EQ(LinesCovered(at, longShort), 0);
    EXPECT_TRUE(area2.contains(at));
}

TEST_F(RuleWindow, WhenTheRoomForcesItCoversFewLinesAndNeverTheCheckPoints) {
    const TRuleMetrics m = RuleMetrics(Size12x18, Size24x36, 1024);
    const QRect screen(0, 0, 1024, 768), area(0, 20, 1024, 640);
    const QSize outer(444, 245);
    // Eight full lines fill the area; wherever the check point is, the window keeps off its line
    // and the pointer above it, stays in the area, and covers no more lines than its height needs.
    const TSentenceOnScreen full = SentenceAt(48, 60, m, std::vector<int>(8, 40), 0);
    for (int line = 0; line < 8; ++line) {
        TSentenceOnScreen s = full;
        s.KeepClear = s.Lines[line].adjusted(0, -40, 0, 0);
        for (int column : {0, 20, 39}) {
            const int x = 48 + column * m.EW + 1, y = s.Lines[line].top() + 1;
            const QRect at(PlaceRuleOffText(x, y, area, screen, outer, m, s), outer);
            SCOPED_TRACE(testing::Message() << "line " << line << " column " << column);
            EXPECT_FALSE(at.intersects(s.KeepClear));
            EXPECT_TRUE(area.contains(at));
            EXPECT_LE(LinesCovered(at, s), (outer.height() + 40) / (m.EH + 40) + 1);
        }
    }

    // A window taller than the whole screen still gets a place on it, from its top.
    const QSize tall(444, 900);
    const QPoint p = PlaceRuleOffText(100, 300, area, screen, tall, m, full);
    EXPECT_EQ(p.y(), 0);
    EXPECT_GE(p.x(), 0);
    EXPECT_LE(p.x() + tall.width(), 1024);
}

TEST_F(RuleWindow, PlacedLeftOrAboveOnlyWhenItWouldCrossTheAreaAndThereIsRoom) {
    const TRuleMetrics m = RuleMetrics(Size12x18, Size24x36, 1024);
    const QSize outer(444, 99);
    // Crossing the right edge starts at x = 1024 - 24 - 444 - 9 = 547.
    EXPECT_EQ(PlaceRule(547, 100, 1024, 700, outer, m), QPoint(547 + 33, 145));
    EXPECT_EQ(PlaceRule(548, 100, 1024, 700, outer, m), QPoint(548 - 453, 145));
    // No room on the left (Margin + width = 453): it stays right of the cell.
    EXPECT_EQ(PlaceRule(453, 100, 600, 700, outer, m), QPoint(453 + 33, 145));
    EXPECT_EQ(PlaceRule(454, 100, 600, 700, outer, m), QPoint(1, 145));
    // The same with heights: crossing the bottom edge starts at y = 700 - 36 - 99 - 9 = 556.
    EXPECT_EQ(PlaceRule(10, 556, 1024, 700, outer, m), QPoint(43, 556 + 45));
    EXPECT_EQ(PlaceRule(10, 557, 1024, 700, outer, m), QPoint(43, 557 - 108));
    EXPECT_EQ(PlaceRule(10, 109, 1024, 150, outer, m), QPoint(43, 1));

    // The window takes the area as a rectangle whose right and bottom edges lie just past it.
    Show("R3", 700, 600, QRect(50, 40, 974, 660));
    EXPECT_EQ(Form.pos(), QPoint(700 - 453, 600 - Form.frameGeometry().height() - 9));
}

TEST_F(RuleWindow, ArrowKeysMoveItOnTheScreenAndOtherKeysGoToTheExerciseScreen) {
    Show("R3"); // at (133, 245)
    Press(Qt::Key_Right);
    Press(Qt::Key_Down);
    EXPECT_EQ(Form.pos(), QPoint(133 + 1024 / 20, 245 + 768 / 20));
    // Near the right and bottom edges a step puts it flush against them, and it never passes
    // the left and top edges.
    const int height = Form.frameGeometry().height();
    Form.move(1024 - 444 - 60, 768 - height - 37);
    Press(Qt::Key_Right);
    EXPECT_EQ(Form.pos().x(), 1024 - 444 - 60 + 51);
    Press(Qt::Key_Right);
    Press(Qt::Key_Down);
    EXPECT_EQ(Form.pos(), QPoint(1024 - 444, 768 - height));
    Form.move(30, 20);
    Press(Qt::Key_Left);
    Press(Qt::Key_Up);
    EXPECT_EQ(Form.pos(), QPoint(0, 0));
    EXPECT_TRUE(KeyMain.Downs.empty() && KeyMain.Presses.empty());

    Press(Qt::Key_F1);
    Press(Qt::Key_A, "A", Qt::ShiftModifier);
    EXPECT_EQ(KeyMain.Downs,
              (std::vector<std::pair<WORD, TShiftState>>{{VK_F1, 0}, {'A', ssShift}}));
    // The characters with the arrow keys' codes are held back.
    for (const char* typed : {"%", "&", "'", "(", ",", ")", "\xe0"}) // "а" in code page 1251
        Press(0, FromAnsi(typed));
    EXPECT_EQ(KeyMain.Presses, "A,)\xe0");
    // A key the exercise screen takes in its key-down gives no character afterwards.
    KeyMain.ConsumeDown = VK_SPACE;
    Press(Qt::Key_Space, " ");
    EXPECT_EQ(KeyMain.Presses, "A,)\xe0");
    EXPECT_EQ(Form.pos(), QPoint(0, 0));
}

TEST_F(RuleWindow, HidingByTheExerciseScreenOrTheCloseBoxHandsTheFocusBack) {
    KeyMain.resize(300, 200);
    KeyMain.show();
    for (auto hide : {+[](TfrmRule& f) { f.HideRule(); }, +[](TfrmRule& f) { f.close(); }}) {
        Show("R1");
        ASSERT_TRUE(QTest::qWaitFor([this] { return Form.isActiveWindow(); }, 2000));
        hide(Form);
        EXPECT_FALSE(Form.isVisible());
        EXPECT_TRUE(QTest::qWaitFor([this] { return KeyMain.isActiveWindow(); }, 2000));
    }
}

TEST_F(RuleWindow, DrawingErrorShowsTheBoxAndLeavesTheEmptyPageOnScreen) {
    TestRules.RuleRecords.push_back({"BAD", {"ABC", std::string(1 << 20, 'A')}});
    Show("BAD");
    const std::vector<TRecordedBox> boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, "Unable to show the rule!");
    EXPECT_EQ(boxes[0].Caption, "Zarvo");
    EXPECT_EQ(boxes[0].Flags & MB_ICONMASK, unsigned(MB_ICONEXCLAMATION));
    EXPECT_TRUE(Form.isVisible());
    const TBitmap page = Page();
    ASSERT_EQ(page.Height(), 66);
    EXPECT_EQ(page, TBitmap(Form.width(), 66, HintBackColor)) << "not even the first line";
}

// The bundled rules in the bundled font on the screens the trainer is made for: no rule line is
// cut by the window. With ZARVO_SCREENSHOT_DIR set under a real X server, each rule is also shown
// beside a check point of a stand-in exercise screen and the screen is saved for a look.
TEST_F(RuleWindow, BundledRulesFitTheWindow) {
    Box.CopyBuiltContent("Zarvo.frf");
    Box.CopyBuiltContent("Zarvo.fff");
    TFRule bundled(Box.ContentDir() + "Zarvo.frf");
    ASSERT_GE(bundled.RuleRecords.size(), 10u);
    const std::string fontBytes = ReadFileBytes(Box.ContentDir() + "Zarvo.fff", MaxFontFileSize);
    for (int width : {1024, 1280, 1920}) {
        TFFont fonts(TFFont::TBlank{}, width);
        fonts.LoadFromBytes(fontBytes);
        const TRuleMetrics m = RuleMetrics(fonts.SmallSize(), fonts.LargeSize(), width);
        for (const TRuleRecord& rule : bundled.RuleRecords) {
            TColor colour = HintTextColor;
            for (const std::string& line : rule.Lines) {
                const TBitmap strip = DrawRuleLine(line, *fonts.SmallFont(), m, colour);
                // A cell's worth is left for the window frame.
                EXPECT_LE(strip.Width(), m.WindowWidth() - m.RW) << width << ": " << line;
            }
            EXPECT_EQ(colour, HintTextColor) << "a colour switch left open in " << rule.Name;
        }
    }

    const char* dir = std::getenv("ZARVO_SCREENSHOT_DIR");
    if (!dir || QGuiApplication::platformName() != "xcb")
        return;
    QScreen* screen = QGuiApplication::primaryScreen();
    const QSize size = screen->geometry().size();
    SetScreenOverride(TScreenMetrics{size.width(), size.height(), 32});
    TFFont fonts(TFFont::TBlank{}, size.width());
    fonts.LoadFromBytes(fontBytes);
    TfrmRule bundledWindow({&fonts, &bundled, &KeyMain});

    // A navy exercise screen with a sentence in the large font; the check point is its comma.
    const int ew = SizeWidth(fonts.LargeSize()), eh = SizeHeight(fonts.LargeSize());
    TImage exercise;
    exercise.setWindowFlags(Qt::FramelessWindowHint);
    exercise.setGeometry(0, 0, size.width(), size.height());
    TBitmap picture(size.width(), size.height(), clNavy);
    const std::string sentence = Utf8ToAnsi("Мы купили яблоки, груши и сливы.");
    const QPoint start(ew, size.height() / 3);
    fonts.LargeFont()->DrawText(sentence, picture, clWhite, start.x(), start.y(), false);
    const int comma = static_cast<int>(sentence.find(','));
    picture.FillRect(start.x() + comma * ew, start.y() + eh, start.x() + (comma + 1) * ew,
                     start.y() + eh + 3, clRed);
    exercise.SetPicture(picture);
    exercise.show();
    const QRect area(0, 0, size.width(), size.height() * 2 / 3);
    int shot = 0;
    for (const TRuleRecord& rule : bundled.RuleRecords) {
        bundledWindow.ShowRule(rule.Name, start.x() + comma * ew, start.y(), area);
        QTest::qWait(150);
        screen->grabWindow(0).save(
            QString("%1/rule-%2-%3.png").arg(dir).arg(size.width()).arg(++shot, 2, 10, QChar('0')));
    }
    bundledWindow.hide();
}
