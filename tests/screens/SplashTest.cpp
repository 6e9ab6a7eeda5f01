#include "ScreensFixture.h"

#include "platform/Image.h"
#include "platform/Picture.h"
#include "screens/frmSplash.h"

using namespace platform;

namespace {
class Splash : public ScreensTest {
protected:
    explicit Splash(TScreenMetrics screen = {1024, 768, 32}) : ScreensTest(screen) {
        Form.FormCreate();
    }
    TfrmSplash Form{Settings.get(), &Main};
};
class SplashOnSmallScreen : public Splash {
protected:
    SplashOnSmallScreen() : Splash({640, 480, 32}) {}
};
} // namespace

TEST_F(Splash, IntroIsCentredAndAKeyOrClickHandsOverToTheSelection) {
    WritePicture("intro3.fpf", 200, 100, "BMP");
    bool hiddenAtHandOver = false;
    Main.OnBack = [&] { hiddenAtHandOver = !Form.isVisible(); };

    Form.ShowIntro();
    EXPECT_TRUE(Form.isVisible());
    EXPECT_EQ(Form.imgBackground->geometry(), Form.rect());
    EXPECT_EQ(Form.imgBackground->PictureRect(),
              QRect((Form.width() - 200) / 2, (Form.height() - 100) / 2, 200, 100));
    ActivateOther();
    EXPECT_TRUE(Form.isVisible()); // the intro stays when another window comes forward
    EXPECT_EQ(Main.BackCalls, 0);

    Key(&Form, Qt::Key_Shift, QString(), Qt::ShiftModifier); // types nothing, still counts
    EXPECT_EQ(Main.BackCalls, 1);
    EXPECT_TRUE(hiddenAtHandOver);
    EXPECT_FALSE(Form.windowState() & Qt::WindowFullScreen);
    // A key that reaches the main window after the intro went opens no second selection.
    Form.CloseSplash();
    EXPECT_EQ(Main.BackCalls, 1);

    Form.ShowIntro();
    ClickAt(&Form, QPoint(2, 2)); // the window around the picture
    Form.ShowIntro();
    ClickAt(&Form, Form.imgBackground->geometry().center());
    EXPECT_EQ(Main.BackCalls, 3);
}

TEST_F(Splash, AShiftKeyEndsTheIntroWhenLetGoAloneNotAsPartOfTheWindowManagersKeys) {
    WritePicture("intro3.fpf", 200, 100, "BMP");
    const auto send = [&](QEvent::Type type, int key, Qt::KeyboardModifiers modifiers) {
        QKeyEvent e(type, key, modifiers);
        QApplication::sendEvent(&Form, &e);
    };
    Form.ShowIntro();
    // Alt+F4: the window manager takes F4 and sends its close; the intro has seen Alt only.
    send(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    EXPECT_EQ(Main.BackCalls, 0);
    Form.close();
    EXPECT_TRUE(QTest::qWaitFor([this] { return Main.BackCalls == 1; }, 2000));
    send(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    EXPECT_EQ(Main.BackCalls, 1);

    // Alt alone, let go: as any key.
    Form.ShowIntro();
    send(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    send(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    EXPECT_EQ(Main.BackCalls, 2);

    // Ctrl+C ends it once, at the C.
    Form.ShowIntro();
    send(QEvent::KeyPress, Qt::Key_Control, Qt::ControlModifier);
    send(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(Main.BackCalls, 3);
    Form.ShowIntro();
    send(QEvent::KeyRelease, Qt::Key_C, Qt::ControlModifier);
    send(QEvent::KeyRelease, Qt::Key_Control, Qt::NoModifier);
    EXPECT_EQ(Main.BackCalls, 3);
    EXPECT_TRUE(Form.isVisible());
}

TEST_F(Splash, TheWindowManagersCloseEndsWhatIsShownAsAKeyDoes) {
    WritePicture("intro3.fpf", 200, 100, "BMP");
    WritePicture("praise.fpf", 120, 80, "JPEG");
    bool hiddenAtHandOver = false;
    Main.OnBack = [&] { hiddenAtHandOver = !Form.isVisible(); };
    Form.ShowIntro();
    Form.close();
    // Handed over once the close event is over, not hidden into a blank screen.
    EXPECT_TRUE(QTest::qWaitFor([this] { return Main.BackCalls == 1; }, 2000));
    EXPECT_TRUE(hiddenAtHandOver);
    EXPECT_FALSE(Form.isVisible());

    QObject scope;
    InModal(scope, [&] { Form.close(); });
    Form.ShowPraise();
    EXPECT_EQ(Form.ModalResult(), -1);
    EXPECT_FALSE(Form.isVisible());
    EXPECT_EQ(Main.BackCalls, 1);
}

TEST_F(Splash, IntroThatCannotBeLoadedLeavesBeforeAnythingIsShown) {
    EXPECT_THROW(Form.ShowIntro(), EInOutError);
    WritePicture("intro3.fpf", 100, 80, "JPEG"); // the intro must be a bitmap
    EXPECT_THROW(Form.ShowIntro(), EInvalidGraphic);
    EXPECT_FALSE(Form.isVisible());
    EXPECT_EQ(Main.BackCalls, 0);
}

TEST_F(Splash, PraiseAndRightAreModalAndGoByKeyClickOrDeactivation) {
    WritePicture("praise.fpf", 120, 80, "JPEG"); // read as JPEG data: no decoder for .fpf
    WritePicture("right.fpf", 300, 90, "JPEG");
    WritePicture("slip.fpf", 40, 30, "JPEG");
    Form.ShowSlip(); // still up when the praise comes
    QObject scope;
    QRect shown;
    InModal(scope, [&] {
        shown = Form.geometry();
        EXPECT_EQ(QApplication::activeModalWidget(), &Form);
        Key(&Form, Qt::Key_unknown, QString::fromUtf8("ж"));
    });
    Form.ShowPraise();
    EXPECT_EQ(shown, QRect((1024 - 120) / 2, (768 - 80) / 2, 120, 80));
    EXPECT_EQ(Form.ModalResult(), -1);

    InModal(scope, [&] { ActivateOther(); });
    Form.ShowPraise();
    EXPECT_FALSE(Form.isVisible());

    InModal(scope, [&] {
        shown = Form.geometry();
        ClickAt(&Form, QPoint(150, 45));
    });
    Form.ShowRight(500);
    EXPECT_EQ(shown, QRect((1024 - 300) / 2, 500, 300, 90));
    EXPECT_FALSE(Form.isVisible());
    EXPECT_EQ(Main.BackCalls, 0);
}

TEST_F(Splash, SlipIsNotModalAndGoesByKeyClickOrDeactivation) {
    WritePicture("slip.fpf", 40, 30, "JPEG");
    Form.ShowSlip();
    EXPECT_TRUE(Form.isVisible());
    Key(&Form, Qt::Key_A, "a");
    EXPECT_FALSE(Form.isVisible());
    Form.ShowSlip();
    ClickAt(&Form, QPoint(20, 15));
    EXPECT_FALSE(Form.isVisible());
    Form.ShowSlip();
    EXPECT_TRUE(QTest::qWaitFor([this] { return Form.isActiveWindow(); }, 2000));
    ActivateOther();
    EXPECT_FALSE(Form.isVisible());
}

TEST_F(SplashOnSmallScreen, PictureLargerThanTheScreenIsCutEquallyOnBothSides) {
    WritePicture("slip.fpf", 801, 600, "JPEG");
    Form.ShowSlip();
    EXPECT_EQ(Form.pos(), QPoint(-80, -60));
    Form.hide();
}

TEST_F(Splash, UnreadablePictureLeavesTheWindowTinyAndHidden) {
    EXPECT_THROW(Form.ShowPraise(), EInOutError);
    Box.Write("content/RFPF/right.fpf", "GIF89a, not what it claims");
    EXPECT_THROW(Form.ShowRight(10), EInvalidGraphic);
    EXPECT_FALSE(Form.isVisible());
    EXPECT_EQ(Form.size(), QSize(1, 1));
}
