#include "../content/LibraryFiles.h"
#include "ScreensFixture.h"

#include "content/Task.h"
#include "platform/Files.h"
#include "platform/Image.h"
#include "platform/Picture.h"
#include "platform/Text.h"
#include "render/FFont.h"
#include "screens/frmVariant.h"
#include "session/Pupil.h"

#include <QAbstractItemView>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <cstdlib>
#include <deque>
#include <set>

using namespace platform;

namespace {

// Answers the exit question from a script and records how it was asked.
class TFakeExitQuery : public IExitQuestion {
public:
    int Ask(bool allowContinue) override {
        Asked.push_back(allowContinue);
        if (Answers.empty())
            return 2;
        const int answer = Answers.front();
        Answers.pop_front();
        return answer;
    }
    std::vector<bool> Asked;
    std::deque<int> Answers;
};

const std::string Ivan = "\xc8\xe2\xe0\xed"; // Иван
const std::string Title5 = "\xd2";           // Т

class Variant : public ScreensTest {
protected:
    explicit Variant(TScreenMetrics screen = {1024, 768, 32})
        : ScreensTest(screen), Font(TFFont::TBlank{}, screen.Width) {
        Form.Terminate = [this] { ++Terminated; };
    }
    // What start-up gives the selection: the fonts and library of the test, its pupil, the
    // stand-in main window and the scripted exit question.
    TfrmVariant::TLinks Links(const TFFont* fonts) {
        return {Settings.get(), fonts, &Task, &Pupil, &Main, &Exit};
    }

    // Every character of `chars` gets a glyph that inks its whole cell.
    void SolidGlyphs(const std::string& chars) {
        TNFFont* small = Font.FontOfSize(Font.SmallSize());
        for (char ch : chars) {
            TSymbol s;
            s.Code = ch;
            s.Width = static_cast<std::uint8_t>(small->CellWidth());
            s.Height = static_cast<std::uint8_t>(small->CellHeight());
            s.Mask.assign(s.Height, std::vector<std::uint8_t>(s.Width, 1));
            small->SetSymbol(s);
        }
    }
    void LoadLibrary(const std::vector<std::string>& lines) {
        const std::string path = Box.Write("content/Zarvo.ff", Library(VarLibSignature, lines));
        Task.OpenFFile(FromNativePath(path));
    }
    // The library the form is made with; the tests load theirs into it.
    std::string EmptyLibrary() {
        return FromNativePath(Box.Write("content/Zarvo.ff", Library(VarLibSignature, {})));
    }
    // Class 5: theme 1 "T" with variants 3 "V" and 4 "W", theme 2 "U" without variants;
    // class 6 without themes.
    void Create() {
        LoadLibrary({"%C5", "%T" + Title5, "%V3 V", "%Xa.", "%V4 W", "%Xb.", "%TU", "%C6"});
        WritePicture("lay3.fpf", 1024, 768, "BMP", QColor(250, 250, 240));
        Form.FormCreate();
    }

    // Shows the selection modally, runs `steps` inside it and ends it if they did not.
    int Visit(const std::function<void()>& steps) {
        QObject scope;
        InModal(scope, [&] {
            Form.activateWindow();
            EXPECT_TRUE(QTest::qWaitFor([&] { return Form.isActiveWindow(); }, 2000));
            steps();
            // Still up: neither Go nor the exit question has ended it.
            if (Form.isVisible())
                Form.SetModalResult(99);
        });
        Form.ShowSelection();
        return Form.ModalResult();
    }
    // Where a key goes: the open list, else the control with the focus.
    QWidget* KeyTarget() {
        for (TOwnerDrawList* list : {Form.cmbClass, Form.cmbTheme, Form.cmbVariant})
            if (list->view()->isVisible())
                return list->view();
        if (QWidget* focused = Form.focusWidget())
            return focused;
        return &Form;
    }
    void Press(int key, const QString& text = {}) { Key(KeyTarget(), key, text); }
    void Type(const std::string& cp1251) {
        for (char ch : cp1251)
            Press(Qt::Key_unknown, FromAnsi(std::string(1, ch)));
    }
    // Down to open the focused list, Down `moves` times, Enter to take the item.
    void PickWithKeys(int moves) {
        Press(Qt::Key_Down);
        for (int i = 0; i < moves; ++i)
            Press(Qt::Key_Down);
        Press(Qt::Key_Return, "\r");
    }
    // The middle of a name cell of the 12 x 18 font, in the field's picture.
    TColor Cell(int cell) const { return Form.txtName->Picture().GetPixel(1 + cell * 12 + 6, 12); }

    TFFont Font;
    TFPupil Pupil{"old", "old", "old", "old"};
    TFakeExitQuery Exit;
    TTask Task{EmptyLibrary()};
    TfrmVariant Form{Links(&Font)};
    int Terminated = 0;
};

} // namespace

TEST_F(Variant, LabelsAndItemsAreDrawnWithTheSmallFontInTheirColours) {
    SolidGlyphs("Y1");
    Create();
    EXPECT_EQ(Form.cmbClass->count(), 2);
    EXPECT_FALSE(Form.cmbTheme->isEnabled());
    EXPECT_FALSE(Form.btnGo->isEnabled());
    // "Your Name:": 10 cells of 12 x 18, black; a character without a glyph is a blank cell.
    const TBitmap& label = Form.imglblName->Picture();
    EXPECT_EQ(Form.imglblName->size(), QSize(120, 18));
    EXPECT_EQ(label.GetPixel(6, 9), clBlack);
    EXPECT_NE(label.GetPixel(18, 9), clBlack);
    EXPECT_TRUE(Form.imglblName->Transparent());

    Visit([&] {
        PickWithKeys(1);
        EXPECT_EQ(Form.cmbTheme->itemText(0), QString::fromUtf8("5.1. Т"));
        EXPECT_EQ(Form.cmbTheme->view()->sizeHintForRow(0), 22) << "item height h + 4";
        // "1. Т" from (2, 2): white on $009F5000 when highlighted, else black on white.
        const TBitmap selected = Form.cmbTheme->OnDrawItem(0, true, QSize(598, 22));
        EXPECT_EQ(selected.GetPixel(597, 21), 0x009F5000u);
        EXPECT_EQ(selected.GetPixel(1, 1), 0x009F5000u);
        EXPECT_EQ(selected.GetPixel(8, 11), clWhite);
        const TBitmap plain = Form.cmbTheme->OnDrawItem(0, false, QSize(598, 22));
        EXPECT_EQ(plain.GetPixel(597, 21), clWhite);
        EXPECT_EQ(plain.GetPixel(8, 11), clBlack);
    });
}

TEST_F(Variant, DisabledListsAreEmptyOnTheirOwnBackgroundNotNavyBars) {
    Create();
    ASSERT_FALSE(Form.cmbVariant->isEnabled());
    const QImage drawn = Form.cmbVariant->grab().toImage();
    const QRect item = Form.cmbVariant->ItemRect();
    int navy = 0;
    for (int x = item.left(); x <= item.right(); x += 4)
        navy += QColor(drawn.pixel(x, item.center().y())) == QColor(0, 0, 0x80);
    EXPECT_EQ(navy, 0);
}

TEST_F(Variant, ColumnIsCentredOnTheScreenAndTheMainWindowIsCleared) {
    Create();
    Main.PanelVisible = Main.ResultsShown = true;
    Visit([&] {
        EXPECT_EQ(Form.size(), QSize(1024, 768));
        EXPECT_FALSE(Main.PanelVisible);
        EXPECT_FALSE(Main.ResultsShown);
        EXPECT_EQ(Form.BlockLeft, (1024 - 602) / 2);
        EXPECT_EQ(Form.BlockTop, (768 - 338) / 2);
        for (QWidget* w : std::initializer_list<QWidget*>{Form.imglblName, Form.txtName,
                                                          Form.cmbClass, Form.cmbVariant})
            EXPECT_EQ(w->x(), 211) << w->objectName().toStdString();
        EXPECT_EQ(Form.imglblName->y(), 215 + 8);
        EXPECT_EQ(Form.cmbClass->width(), 602);
        EXPECT_EQ(Form.btnGo->geometry(),
                  QRect(212, Form.cmbVariant->geometry().bottom() + 5, 600, 33));
        EXPECT_FALSE(Form.panBlock->isVisible()) << "the picture's card serves";
        EXPECT_TRUE(Form.NameTimer->isActive());
    });
    EXPECT_FALSE(Form.NameTimer->isActive()) << "stopped while hidden";
}

TEST_F(Variant, KeyboardAloneChoosesEverythingAndGoStartsTheSession) {
    Create();
    const int result = Visit([&] {
        ASSERT_EQ(Form.focusWidget(), Form.cmbClass);
        Press(Qt::Key_Down);
        EXPECT_TRUE(Form.cmbClass->view()->isVisible()) << "Down opens the focused list";
        EXPECT_EQ(Form.cmbClass->currentIndex(), -1) << "and does not move in it yet";
        Press(Qt::Key_Down);
        Press(Qt::Key_Return, "\r");
        EXPECT_EQ(Form.Choice().SelectedClass(), 0);
        EXPECT_TRUE(Form.isVisible()) << "Enter took the item, it did not press Go";

        Press(Qt::Key_Tab, "\t");
        ASSERT_EQ(Form.focusWidget(), Form.cmbTheme);
        PickWithKeys(1);
        Press(Qt::Key_Tab, "\t");
        PickWithKeys(2);
        EXPECT_EQ(Form.Choice().SelectedTheme(), 0);
        EXPECT_EQ(Form.Choice().SelectedVariant(), 1);
        Press(Qt::Key_Tab, "\t");
        ASSERT_EQ(Form.focusWidget(), Form.txtName);
        Type(Ivan);
        Press(Qt::Key_Return, "\r");
    });
    EXPECT_EQ(result, -1);
    EXPECT_EQ(Pupil.GetName(), Ivan);
    EXPECT_EQ(Pupil.GetClass(), "5");
    EXPECT_EQ(Pupil.GetTheme(), "5.1. " + Title5);
    EXPECT_EQ(Pupil.GetVariant(), "4.W");
    EXPECT_EQ(Main.StartCalls, 1);
    // The choice travels to the exercise screen as a value: indices and the texts the pupil saw.
    EXPECT_EQ(Main.Started.PupilName, Ivan);
    EXPECT_EQ(Main.Started.Class, 0);
    EXPECT_EQ(Main.Started.Theme, 0);
    EXPECT_EQ(Main.Started.Variant, 1);
    EXPECT_EQ(Main.Started.ThemeText, "5.1. " + Title5);
    EXPECT_EQ(Main.Started.VariantText, "4.W");
    EXPECT_TRUE(Main.PanelVisible);
    EXPECT_TRUE(Main.KeyPreview());
    EXPECT_TRUE(Exit.Asked.empty()) << "leaving by Go asks nothing";

    // Back after the session: everything is as it was, and a click on Go goes at once.
    Pupil.Init("", "", "", "");
    EXPECT_EQ(Visit([&] { ClickAt(&Form, Form.btnGo->geometry().center()); }), -1);
    EXPECT_EQ(Pupil.GetName(), Ivan);
    EXPECT_EQ(Pupil.GetVariant(), "4.W");
    EXPECT_EQ(Main.StartCalls, 2);
}

TEST_F(Variant, NameCaretBlinksInRedAndBackSpaceShowsAtTheNextTick) {
    SolidGlyphs(Ivan + "_Ent");
    strNoName = "Ent";
    Create();
    Visit([&] {
        EXPECT_EQ(Cell(0), clBlack) << "the placeholder while empty and unfocused";
        Form.txtName->setFocus();
        Type(Ivan + "7!()_@=");
        EXPECT_EQ(Form.TypedName, Ivan) << "digits and those signs are no name characters";
        for (int cell = 0; cell < 4; ++cell)
            EXPECT_EQ(Cell(cell), clBlack);
        // The caret cell is red and blank by turns, a tick each.
        const TColor first = Cell(4);
        Form.NameTimerTimer();
        const TColor second = Cell(4);
        EXPECT_EQ(std::set<TColor>({first, second}), std::set<TColor>({clRed, clWhite}));
        Form.NameTimerTimer();
        EXPECT_EQ(Cell(4), first);

        Press(Qt::Key_Backspace, "\b");
        EXPECT_EQ(Form.TypedName, Ivan.substr(0, 3));
        EXPECT_EQ(Cell(3), clBlack) << "not redrawn before the tick";
        Form.NameTimerTimer();
        EXPECT_NE(Cell(3), clBlack);

        // A letter typed on a list opens it and does not reach the name.
        Form.cmbClass->setFocus();
        Type("a");
        EXPECT_TRUE(Form.cmbClass->view()->isVisible());
        EXPECT_EQ(Form.TypedName, Ivan.substr(0, 3));
    });
}

TEST_F(Variant, LongNameScrollsInTheFieldAndIsKeptWhole) {
    SolidGlyphs("x_");
    Create();
    const std::string name(200, 'x');
    Visit([&] {
        Form.txtName->setFocus();
        Type(name);
        if (!Form.CaretShown)
            Form.NameTimerTimer();
        const TBitmap& field = Form.txtName->Picture();
        EXPECT_EQ(field.GetPixel(field.Width() - 6, 12), clRed) << "the caret in view";
        EXPECT_EQ(field.GetPixel(field.Width() - 18, 12), clBlack);
    });
    EXPECT_EQ(Form.TypedName, name);
}

TEST_F(Variant, ListCaptionAndStatusLineReturnAfterTwoAndAHalfSeconds) {
    Create();
    Visit([&] {
        PickWithKeys(1);
        Press(Qt::Key_Tab, "\t");
        PickWithKeys(1);
        Press(Qt::Key_Down); // the open list, moving to the second theme
        Press(Qt::Key_Down);
        EXPECT_EQ(Form.Caption(), Utf8ToAnsi("В списке: 2. U"));
        EXPECT_EQ(Form.stbStatus->text(), "2. U");
        EXPECT_EQ(Form.Timer->interval(), 2500);
        EXPECT_TRUE(Form.Timer->isActive());
        Form.TimerTimer();
        EXPECT_EQ(Form.Caption(), "Zarvo");
        EXPECT_EQ(Form.stbStatus->text(), "");
        EXPECT_FALSE(Form.Timer->isActive());
    });
}

TEST_F(Variant, EscapeAsksWithoutOptionOne) {
    Create();
    Exit.Answers = {2, 3};
    Visit([&] {
        Press(Qt::Key_Escape, "\x1b");
        EXPECT_TRUE(Form.isVisible()) << "2: choose another variant here";
        EXPECT_EQ(Terminated, 0);
        Press(Qt::Key_Escape, "\x1b");
        EXPECT_FALSE(Form.isVisible());
    });
    EXPECT_EQ(Exit.Asked, (std::vector<bool>{false, false}));
    EXPECT_EQ(Terminated, 1) << "3: the program ends";

    // The exit question closed otherwise: the selection closes without ending the program.
    Exit.Answers = {0};
    Visit([&] { Form.close(); });
    EXPECT_FALSE(Form.isVisible());
    EXPECT_EQ(Terminated, 1);
    EXPECT_EQ(Main.StartCalls, 0);
}

TEST_F(Variant, EmptyLibraryAndFailuresDoNotCrash) {
    LoadLibrary({});
    WritePicture("lay3.fpf", 1024, 768, "BMP");
    Form.FormCreate();
    Visit([&] {
        Press(Qt::Key_Return, "\r"); // opens the empty list
        Press(Qt::Key_Down);
        EXPECT_FALSE(Form.btnGo->isEnabled());
        Form.btnGoClick();
        EXPECT_EQ(Main.StartCalls, 0);
    });

    // The background is the caller's to report, before anything shows.
    QFile::remove(QString::fromStdString(Box.ContentDir() + "RFPF/lay3.fpf"));
    EXPECT_THROW(Form.ShowSelection(), EInOutError);
    EXPECT_FALSE(Form.isVisible());

    GlobalFailure = true;
    TfrmVariant failed(Links(&Font));
    failed.FormCreate();
    EXPECT_EQ(failed.Caption(), "Zarvo");
    EXPECT_TRUE(failed.imglblName->Picture().Empty());
}

// The bundled picture, font and library with everything chosen, on a small and a large screen.
TEST_F(Variant, BundledContentStandsWholeOnTheScreen) {
    Box.CopyBuiltContent("RFPF");
    Box.CopyBuiltContent("Zarvo.ff");
    QFile font(QString::fromStdString(std::string(ZARVO_CONTENT_BUILD_DIR) + "Zarvo.fff"));
    ASSERT_TRUE(font.open(QIODevice::ReadOnly));
    const std::string glyphs = font.readAll().toStdString();
    Task.OpenFFile(FromNativePath(Box.ContentDir() + "Zarvo.ff"));
    for (const std::pair<int, int>& size : {std::pair{1024, 768}, std::pair{1920, 1080}}) {
        const int width = size.first, height = size.second;
        SCOPED_TRACE(width);
        SetScreenOverride(TScreenMetrics{width, height, 32});
        Settings->ScreenSize = width == 1920 ? 4 : 3;
        TFFont fonts(TFFont::TBlank{}, width);
        fonts.LoadFromBytes(glyphs);
        TfrmVariant form(Links(&fonts));
        form.FormCreate();
        const int cell = SizeWidth(fonts.SmallSize());
        EXPECT_GE(form.cmbVariant->width(), 50 * cell + 2) << "50 cells of any font";
        QObject scope;
        InModal(scope, [&] {
            for (QComboBox* list : {form.cmbClass, form.cmbTheme, form.cmbVariant})
                list->activated(0);
            form.TypedName = Utf8ToAnsi("Маша Иванова");
            form.txtName->setFocus();
            form.NameTimerTimer();
            // On the screen, clear of the status line, each part below the one before.
            const QRect screen(0, 0, width, height - form.stbStatus->height());
            QRect previous;
            for (QWidget* w :
                 std::initializer_list<QWidget*>{form.imglblName, form.txtName, form.imglblClass,
                                                 form.cmbClass, form.imglblTheme, form.cmbTheme,
                                                 form.imglblVariant, form.cmbVariant, form.btnGo}) {
                EXPECT_TRUE(screen.contains(w->geometry())) << w->objectName().toStdString();
                EXPECT_GT(w->y(), previous.bottom()) << w->objectName().toStdString();
                previous = w->geometry();
            }
            EXPECT_EQ(form.panBlock->isVisible(), width == 1920) << "own card for a large font";
            if (const char* dir = std::getenv("ZARVO_SCREENSHOT_DIR"))
                form.grab().save(QString("%1/selection-%2.png").arg(dir).arg(width));
            form.SetModalResult(99);
        });
        form.ShowSelection();
    }
}
