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

using namespace platform;

namespace {

// Answers the exit question from a script and records how it was asked.
class TFakeExitQuery : public TExitQueryScreen {
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
        ::Fonts = &Font;
        ::CurrentPupil = &Pupil;
        frmExitQuery = &Exit;
        SelectedClass = SelectedTheme = SelectedVariant = 0;
        Form.Terminate = [this] { ++Terminated; };
    }
    ~Variant() override {
        ::Fonts = nullptr;
        ::Tasks = nullptr;
        ::CurrentPupil = nullptr;
        frmExitQuery = nullptr;
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
        Task = std::make_unique<TTask>(FromNativePath(path));
        ::Tasks = Task.get();
    }
    // Class 5: theme 1 "T" with variants 3 "V" and 4 "W", theme 2 "U" without variants;
    // class 6 without themes.
    void Create() {
        LoadLibrary({"%C5", "%T" + Title5, "%V3 V", "%Xa.", "%V4 W", "%Xb.", "%TU", "%C6"});
        WritePicture("lay3.fpf", 1024, 768, "BMP", QColor(250, 250, 240));
        Form.FormCreate();
        frmVariant = &Form;
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
    static TColor At(const TBitmap& b, int cell, int cellWidth, int y) {
        return b.GetPixel(1 + cell * cellWidth + cellWidth / 2, y);
    }

    TFFont Font;
    TFPupil Pupil{"old", "old", "old", "old"};
    TFakeExitQuery Exit;
    std::unique_ptr<TTask> Task;
    TfrmVariant Form;
    int Terminated = 0;
};

class VariantOnALargeScreen : public Variant {
protected:
    VariantOnALargeScreen() : Variant({1920, 1080, 32}) { Settings->ScreenSize = 4; }
};

} // namespace

TEST_F(Variant, CreationFillsTheClassesAndDrawsTheLabelsWithTheSmallFont) {
    SolidGlyphs("Y");
    Create();
    EXPECT_EQ(Form.Caption(), "Zarvo");
    EXPECT_EQ(Form.cmbClass->count(), 2);
    EXPECT_EQ(Form.cmbClass->currentIndex(), -1);
    EXPECT_TRUE(Form.cmbClass->isEnabled());
    EXPECT_FALSE(Form.cmbTheme->isEnabled());
    EXPECT_FALSE(Form.cmbVariant->isEnabled());
    EXPECT_FALSE(Form.btnGo->isEnabled());
    EXPECT_EQ(Form.btnGo->text(), "Go!");
    EXPECT_EQ(Form.DesignWidth, 602);
    EXPECT_EQ(Form.DesignHeight, 338);

    // "Your Name:": 10 cells of 12 x 18, ink black, transparent around it.
    const TBitmap& label = Form.imglblName->Picture();
    EXPECT_EQ(label.Width(), 120);
    EXPECT_EQ(label.Height(), 18);
    EXPECT_EQ(Form.imglblName->size(), QSize(120, 18));
    EXPECT_EQ(label.GetPixel(6, 9), clBlack);
    EXPECT_NE(label.GetPixel(18, 9), clBlack) << "o has no glyph: a blank cell";
    EXPECT_TRUE(Form.imglblName->Transparent());
}

TEST_F(Variant, ItemsAreDrawnFromTheLibraryInTheirColours) {
    SolidGlyphs("1");
    Create();
    Visit([&] {
        PickWithKeys(1);
        ASSERT_TRUE(Form.cmbTheme->isEnabled());
        EXPECT_EQ(Form.cmbTheme->itemText(0), QString::fromUtf8("5.1. Т"));
        EXPECT_EQ(Form.cmbTheme->view()->sizeHintForRow(0), 22) << "item height h + 4";
        const QSize size(598, 22);
        // "1. Т": the 1 is inked, the item starts at (2, 2).
        const TBitmap selected = Form.cmbTheme->OnDrawItem(0, true, size);
        EXPECT_EQ(selected.GetPixel(597, 21), 0x009F5000u);
        EXPECT_EQ(selected.GetPixel(2 + 6, 2 + 9), clWhite);
        EXPECT_EQ(selected.GetPixel(1, 1), 0x009F5000u);
        const TBitmap plain = Form.cmbTheme->OnDrawItem(0, false, size);
        EXPECT_EQ(plain.GetPixel(597, 21), clWhite);
        EXPECT_EQ(plain.GetPixel(2 + 6, 2 + 9), clBlack);
        EXPECT_EQ(plain.GetPixel(2 + 12 + 6, 2 + 9), clWhite) << "no glyph for the dot";
    });
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
        for (QWidget* w : std::initializer_list<QWidget*>{
                 Form.imglblName, Form.txtName, Form.imglblClass, Form.cmbClass, Form.cmbTheme,
                 Form.imglblVariant, Form.cmbVariant})
            EXPECT_EQ(w->x(), 211) << w->objectName().toStdString();
        EXPECT_EQ(Form.imglblName->y(), 215 + 8);
        EXPECT_EQ(Form.cmbClass->width(), 602);
        EXPECT_EQ(Form.txtName->width(), 602);
        EXPECT_EQ(Form.btnGo->geometry(),
                  QRect(212, Form.cmbVariant->geometry().bottom() + 5, 600, 33));
        EXPECT_FALSE(Form.panBlock->isVisible()) << "the picture's card serves";
        EXPECT_EQ(Form.imgIntro->geometry(), Form.rect());
        EXPECT_EQ(Form.stbStatus->geometry().bottom(), 767);
        EXPECT_TRUE(Form.NameTimer->isActive());
        EXPECT_EQ(Form.NameTimer->interval(), 200);
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
        EXPECT_FALSE(Form.cmbClass->view()->isVisible());
        EXPECT_EQ(Form.cmbClass->currentIndex(), 0);
        EXPECT_EQ(SelectedClass, 0);
        EXPECT_EQ(Form.ModalResult(), 0) << "Enter took the item, it did not press Go";

        Press(Qt::Key_Tab, "\t");
        ASSERT_EQ(Form.focusWidget(), Form.cmbTheme);
        PickWithKeys(1);
        EXPECT_EQ(SelectedTheme, 0);
        Press(Qt::Key_Tab, "\t");
        ASSERT_EQ(Form.focusWidget(), Form.cmbVariant);
        PickWithKeys(2);
        EXPECT_EQ(SelectedVariant, 1);
        EXPECT_TRUE(Form.btnGo->isEnabled());

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
    EXPECT_TRUE(Main.PanelVisible);
    EXPECT_TRUE(Main.KeyPreview());
    EXPECT_TRUE(Form.GoPressed);
    EXPECT_TRUE(Exit.Asked.empty()) << "leaving by Go asks nothing";

    // Back after the session: everything is as it was, and Enter goes at once.
    Pupil.Init("", "", "", "");
    EXPECT_EQ(Visit([&] {
                  EXPECT_FALSE(Form.GoPressed);
                  EXPECT_EQ(Form.cmbVariant->currentIndex(), 1);
                  EXPECT_TRUE(Form.btnGo->isEnabled());
                  Press(Qt::Key_Return, "\r");
              }),
              -1);
    EXPECT_EQ(Pupil.GetName(), Ivan);
    EXPECT_EQ(Pupil.GetVariant(), "4.W");
    EXPECT_EQ(Main.StartCalls, 2);
}

TEST_F(Variant, AnotherClassEmptiesTheListsBelowAndAClickOnGoWorks) {
    Create();
    Visit([&] {
        PickWithKeys(1);
        Press(Qt::Key_Tab, "\t");
        PickWithKeys(2); // theme U, without variants
        EXPECT_TRUE(Form.cmbVariant->isEnabled());
        EXPECT_EQ(Form.cmbVariant->count(), 0);
        Press(Qt::Key_Backtab);
        ASSERT_EQ(Form.focusWidget(), Form.cmbClass);
        PickWithKeys(2); // class 6, without themes
        EXPECT_TRUE(Form.cmbTheme->isEnabled());
        EXPECT_EQ(Form.cmbTheme->count(), 0);
        EXPECT_FALSE(Form.cmbVariant->isEnabled());
        EXPECT_EQ(Form.cmbTheme->currentIndex(), -1);

        Press(Qt::Key_Up);
        Press(Qt::Key_Up);
        Press(Qt::Key_Return, "\r"); // back to class 5
        Press(Qt::Key_Tab, "\t");
        PickWithKeys(1);
        Press(Qt::Key_Tab, "\t");
        PickWithKeys(1);
        ClickAt(&Form, Form.btnGo->geometry().center());
    });
    EXPECT_EQ(Pupil.GetName(), "") << "an empty name is allowed";
    EXPECT_EQ(Pupil.GetVariant(), "3.V");
    EXPECT_EQ(Main.StartCalls, 1);
}

TEST_F(Variant, NameCaretBlinksInRedAndBackSpaceShowsAtTheNextTick) {
    SolidGlyphs(Ivan + "_Ent");
    strNoName = "Ent";
    Create();
    Visit([&] {
        const int y = 3 + 9; // the field is h + 6 high, the text centred in it
        // Unfocused and empty: the placeholder.
        EXPECT_EQ(At(Form.txtName->Picture(), 0, 12, y), clBlack);
        Form.txtName->setFocus();
        Type(Ivan + "7!()_@=");
        EXPECT_EQ(Form.TypedName, Ivan) << "digits and those signs are no name characters";
        const TBitmap& field = Form.txtName->Picture();
        EXPECT_EQ(field.Width(), 598);
        EXPECT_EQ(field.Height(), 24);
        for (int cell = 0; cell < 4; ++cell)
            EXPECT_EQ(At(field, cell, 12, y), clBlack);
        // The caret cell alternates between red and blank with each tick.
        std::vector<TColor> caret;
        for (int tick = 0; tick < 4; ++tick) {
            caret.push_back(At(Form.txtName->Picture(), 4, 12, y));
            Form.NameTimerTimer();
        }
        EXPECT_EQ(caret[0] == clRed ? caret[1] : caret[0], clWhite);
        EXPECT_NE(caret[0], caret[1]);
        EXPECT_EQ(caret[0], caret[2]);
        EXPECT_TRUE(caret[0] == clRed || caret[1] == clRed);

        Press(Qt::Key_Backspace, "\b");
        EXPECT_EQ(Form.TypedName, Ivan.substr(0, 3));
        EXPECT_EQ(At(Form.txtName->Picture(), 3, 12, y), clBlack) << "not redrawn yet";
        Form.NameTimerTimer();
        EXPECT_NE(At(Form.txtName->Picture(), 3, 12, y), clBlack);
        for (int i = 0; i < 5; ++i)
            Press(Qt::Key_Backspace, "\b");
        EXPECT_EQ(Form.TypedName, "");

        // A letter typed on a list opens it and does not reach the name.
        Form.cmbClass->setFocus();
        Type("a");
        EXPECT_TRUE(Form.cmbClass->view()->isVisible());
        EXPECT_EQ(Form.TypedName, "");
        Press(Qt::Key_Escape, "\x1b"); // closes the open list, not the selection
        EXPECT_FALSE(Form.cmbClass->view()->isVisible());
        EXPECT_TRUE(Form.IsModal());
        Form.NameTimerTimer();
        EXPECT_EQ(At(Form.txtName->Picture(), 0, 12, y), clBlack) << "the placeholder is back";
    });
    EXPECT_TRUE(Exit.Asked.empty());
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
        // The caret stands at the right end of the field.
        const TBitmap& field = Form.txtName->Picture();
        EXPECT_EQ(field.GetPixel(field.Width() - 6, 12), clRed);
        EXPECT_EQ(field.GetPixel(field.Width() - 18, 12), clBlack);
        Press(Qt::Key_Down);
        PickWithKeys(0);
    });
    EXPECT_EQ(Form.TypedName, name);
}

TEST_F(Variant, ListCaptionAndStatusLineReturnAfterTwoAndAHalfSeconds) {
    strGo = "Go!";
    Create();
    Visit([&] {
        QEvent enter(QEvent::Enter);
        QApplication::sendEvent(Form.cmbClass, &enter);
        EXPECT_EQ(Form.stbStatus->text(), "Choose class from the list");
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(Form.cmbClass, &leave);
        EXPECT_EQ(Form.stbStatus->text(), "");

        PickWithKeys(1);
        Press(Qt::Key_Tab, "\t");
        Press(Qt::Key_Down);
        Press(Qt::Key_Down);
        Press(Qt::Key_Down);
        EXPECT_EQ(Form.Caption(), std::string(ListedCaption) + "2. U");
        EXPECT_EQ(Form.Caption(), Utf8ToAnsi("В списке: 2. U"));
        EXPECT_EQ(Form.stbStatus->text(), "2. U");
        EXPECT_TRUE(Form.Timer->isActive());
        EXPECT_EQ(Form.Timer->interval(), 2500);
        Form.TimerTimer();
        EXPECT_EQ(Form.Caption(), "Zarvo");
        EXPECT_EQ(Form.stbStatus->text(), "");
        EXPECT_FALSE(Form.Timer->isActive());
        Press(Qt::Key_Escape, "\x1b");
    });
}

TEST_F(Variant, EscapeAsksWithoutOptionOne) {
    Create();
    Exit.Answers = {2, 3};
    const int result = Visit([&] {
        Press(Qt::Key_Escape, "\x1b");
        EXPECT_TRUE(Form.isVisible()) << "2: choose another variant here";
        EXPECT_EQ(Terminated, 0);
        Press(Qt::Key_Escape, "\x1b");
    });
    EXPECT_EQ(Exit.Asked, (std::vector<bool>{false, false}));
    EXPECT_EQ(Terminated, 1) << "3: the program ends";
    EXPECT_NE(result, 99);
    EXPECT_FALSE(Form.isVisible());

    // The exit question closed otherwise: the selection closes without ending the program.
    Exit.Answers = {0};
    Visit([&] { Form.close(); });
    EXPECT_FALSE(Form.isVisible());
    EXPECT_EQ(Terminated, 1);
    EXPECT_EQ(Main.StartCalls, 0);
}

TEST_F(Variant, FixedClassAndThemeAreAppliedAtCreation) {
    Settings->FixedClass = "5";
    Settings->FixedTheme = 2;
    Create();
    EXPECT_FALSE(Form.cmbClass->isEnabled());
    EXPECT_EQ(Form.cmbClass->currentIndex(), 0);
    EXPECT_FALSE(Form.cmbTheme->isEnabled());
    EXPECT_EQ(Form.cmbTheme->currentIndex(), 1);
    EXPECT_TRUE(Form.cmbVariant->isEnabled());
    EXPECT_FALSE(Form.btnGo->isEnabled());
    EXPECT_EQ(SelectedClass, 0);
    EXPECT_EQ(SelectedTheme, 1);

    TfrmVariant unmatched;
    Settings->FixedClass = "7";
    unmatched.FormCreate();
    EXPECT_TRUE(unmatched.cmbClass->isEnabled());
    EXPECT_EQ(unmatched.cmbClass->currentIndex(), -1);
    EXPECT_FALSE(unmatched.cmbTheme->isEnabled());
}

TEST_F(Variant, EmptyLibraryAndFailuresDoNotCrash) {
    LoadLibrary({});
    WritePicture("lay3.fpf", 1024, 768, "BMP");
    Form.FormCreate();
    EXPECT_EQ(Form.cmbClass->count(), 0);
    Visit([&] {
        Press(Qt::Key_Return, "\r"); // opens the empty list
        Press(Qt::Key_Escape, "\x1b");
        Press(Qt::Key_Return, "\r");
        EXPECT_FALSE(Form.btnGo->isEnabled());
        Form.btnGoClick();
        EXPECT_EQ(Main.StartCalls, 0);
    });

    // The background is the caller's to report, before anything shows.
    QFile::remove(QString::fromStdString(Box.ContentDir() + "RFPF/lay3.fpf"));
    EXPECT_THROW(Form.ShowSelection(), EInOutError);
    EXPECT_FALSE(Form.isVisible());

    GlobalFailure = true;
    TfrmVariant failed;
    failed.FormCreate();
    EXPECT_EQ(failed.Caption(), "Zarvo");
    EXPECT_EQ(failed.cmbClass->count(), 0);
    EXPECT_TRUE(failed.imglblName->Picture().Empty());
}

TEST_F(Variant, MinimisingTakesTheMainWindowAlong) {
    Create();
    Main.show();
    Visit([&] { Form.setWindowState(Qt::WindowMinimized); });
    EXPECT_TRUE(Main.windowState() & Qt::WindowMinimized);
    Main.hide();
}

// The bundled picture, font and library, as a pupil sees them with everything chosen.
TEST_F(VariantOnALargeScreen, BundledContentStandsWholeOnTheScreen) {
    Box.CopyBuiltContent("RFPF");
    Box.CopyBuiltContent("Zarvo.ff");
    QFile font(QString::fromStdString(std::string(ZARVO_CONTENT_BUILD_DIR) + "Zarvo.fff"));
    ASSERT_TRUE(font.open(QIODevice::ReadOnly));
    for (auto [width, height] : {std::pair{1920, 1080}, std::pair{1024, 768}}) {
        SCOPED_TRACE(width);
        SetScreenOverride(TScreenMetrics{width, height, 32});
        Settings->ScreenSize = width == 1920 ? 4 : 3;
        TFFont fonts(TFFont::TBlank{}, width);
        fonts.LoadFromBytes(font.readAll().toStdString());
        font.seek(0);
        ::Fonts = &fonts;
        Task = std::make_unique<TTask>(FromNativePath(Box.ContentDir() + "Zarvo.ff"));
        ::Tasks = Task.get();
        TfrmVariant form;
        form.Terminate = [] {};
        form.FormCreate();
        ASSERT_GT(form.cmbClass->count(), 0);
        const int cell = SizeWidth(fonts.SmallSize());
        EXPECT_GE(form.cmbVariant->width(), 50 * cell + 2) << "50 cells of any font";
        QObject scope;
        InModal(scope, [&] {
            form.cmbClass->activated(0);
            form.cmbTheme->activated(0);
            form.cmbVariant->activated(0);
            form.TypedName = Utf8ToAnsi("Маша Иванова");
            form.txtName->setFocus();
            form.TimerTimer();
            form.NameTimerTimer();
            // The column stands on the screen, its parts apart from each other.
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
            EXPECT_EQ(form.panBlock->isVisible(), width == 1920);
            if (const char* dir = std::getenv("ZARVO_SCREENSHOT_DIR"))
                form.grab().save(QString("%1/selection-%2.png").arg(dir).arg(width));
            form.SetModalResult(99);
        });
        form.ShowSelection();
        ::Fonts = &Font;
    }
}
