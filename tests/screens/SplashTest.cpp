#include "ScreensFixture.h"

#include "platform/Image.h"
#include "platform/Picture.h"
#include "screens/frmSplash.h"
#include "screens/frmVariant.h"

#include <QCoreApplication>

using namespace platform;

namespace {

class Splash : public ScreensTest {
protected:
    Splash() { Init(); }
    explicit Splash(TScreenMetrics screen) : ScreensTest(screen) { Init(); }
    void Init() {
        Form.FormCreate();
        frmSplash = &Form;
    }
    TfrmSplash Form;
};

class SplashOnSmallScreen : public Splash {
protected:
    SplashOnSmallScreen() : Splash({640, 480, 32}) {}
};

} // namespace

TEST_F(Splash, IntroIsLoadedCentredAndAnyKeyHandsOverToTheSelection) {
    WritePicture("intro3.fpf", 200, 100, "BMP");
    WritePicture("lay3.fpf", 60, 40, "BMP");
    TfrmVariant variant;
    frmVariant = &variant;
    bool hiddenAtHandOver = false;
    Main.OnBack = [&] { hiddenAtHandOver = !Form.isVisible(); };

    Form.ShowIntro();
    EXPECT_EQ(Form.Mode, TfrmSplash::smIntro);
    EXPECT_TRUE(Form.isVisible());
    EXPECT_EQ(Form.imgBackground->Width(), 200);
    EXPECT_EQ(Form.imgBackground->x(), (Form.width() - 200) / 2);
    EXPECT_EQ(Form.imgBackground->y(), (Form.height() - 100) / 2);
    // The selection's background is loaded while the intro covers the screen.
    EXPECT_EQ(variant.imgIntro->Picture().Width(), 60);
    EXPECT_EQ(Main.BackCalls, 0);

    // A shift key alone types nothing and still dismisses the intro.
    Key(&Form, Qt::Key_Shift, QString(), Qt::ShiftModifier);
    EXPECT_EQ(Main.BackCalls, 1);
    EXPECT_TRUE(hiddenAtHandOver);
    EXPECT_FALSE(Form.isVisible());
    EXPECT_FALSE(Form.windowState() & (Qt::WindowFullScreen | Qt::WindowMaximized));

    // The main window passing on a late key finds the intro gone: no second selection.
    Form.CloseSplash();
    EXPECT_EQ(Main.BackCalls, 1);
}

TEST_F(Splash, IntroGoesByClickButNotByAnotherWindowComingForward) {
    WritePicture("intro3.fpf", 100, 80, "BMP");
    Form.ShowIntro();
    ActivateOther();
    EXPECT_TRUE(Form.isVisible());
    EXPECT_EQ(Main.BackCalls, 0);

    // Outside the picture the window itself takes the click.
    ClickAt(&Form, QPoint(2, 2));
    EXPECT_EQ(Main.BackCalls, 1);
    EXPECT_FALSE(Form.isVisible());

    Form.ShowIntro();
    ClickAt(&Form, Form.imgBackground->geometry().center());
    EXPECT_EQ(Main.BackCalls, 2);
}

TEST_F(Splash, IntroThatIsNoBitmapLeavesBeforeAnythingIsShown) {
    EXPECT_THROW(Form.ShowIntro(), EInOutError);
    WritePicture("intro3.fpf", 100, 80, "JPEG");
    EXPECT_THROW(Form.ShowIntro(), EInvalidGraphic);
    EXPECT_FALSE(Form.isVisible());
    EXPECT_EQ(Main.BackCalls, 0);
}

TEST_F(Splash, MissingSelectionBackgroundReachesTheCallerOfTheIntro) {
    WritePicture("intro3.fpf", 100, 80, "BMP");
    TfrmVariant variant;
    frmVariant = &variant;
    EXPECT_THROW(Form.ShowIntro(), EInOutError);
}

TEST_F(Splash, PraiseIsModalSizedToItsPictureAndCentred) {
    // The picture extension names no decoder, so the praise is read as JPEG data.
    WritePicture("praise.fpf", 120, 80, "JPEG");
    bool checked = false;
    Later(10, [&] {
        EXPECT_TRUE(Form.IsModal());
        EXPECT_EQ(Form.size(), QSize(120, 80));
        EXPECT_EQ(Form.pos(), QPoint((1024 - 120) / 2, (768 - 80) / 2));
        EXPECT_EQ(Form.imgBackground->pos(), QPoint(0, 0));
        checked = true;
        // A Cyrillic letter typed in the Russian layout.
        Key(&Form, Qt::Key_unknown, QString::fromUtf8("ж"));
    });
    Form.ShowPraise();
    EXPECT_TRUE(checked);
    EXPECT_EQ(Form.Mode, TfrmSplash::smPraise);
    EXPECT_EQ(Form.ModalResult(), -1);
    EXPECT_FALSE(Form.isVisible());
}

TEST_F(Splash, PraiseGoesWhenAnotherWindowIsActivated) {
    WritePicture("praise.fpf", 50, 50, "JPEG");
    Later(10, [&] { ActivateOther(); });
    Form.ShowPraise();
    EXPECT_FALSE(Form.isVisible());
    EXPECT_EQ(Form.ModalResult(), -1);
}

TEST_F(Splash, RightAnswerStandsAtTheGivenTopAndGoesByClick) {
    WritePicture("right.fpf", 300, 90, "JPEG");
    QPoint shownAt;
    Later(10, [&] {
        shownAt = Form.pos();
        ClickAt(&Form, QPoint(150, 45));
    });
    Form.ShowRight(500);
    EXPECT_EQ(shownAt, QPoint((1024 - 300) / 2, 500));
    EXPECT_EQ(Form.Mode, TfrmSplash::smRight);
    EXPECT_FALSE(Form.isVisible());
}

TEST_F(Splash, SlipIsNotModalAndGoesByKeyClickOrDeactivation) {
    WritePicture("slip.fpf", 40, 30, "JPEG");
    Form.ShowSlip();
    EXPECT_TRUE(Form.isVisible());
    EXPECT_FALSE(Form.IsModal());
    EXPECT_EQ(Form.Mode, TfrmSplash::smSlip);
    Key(&Form, Qt::Key_A, "a");
    EXPECT_FALSE(Form.isVisible());

    Form.ShowSlip();
    ClickAt(&Form, QPoint(20, 15));
    EXPECT_FALSE(Form.isVisible());

    Form.ShowSlip();
    EXPECT_TRUE(QTest::qWaitFor([this] { return Form.isActiveWindow(); }, 2000));
    ActivateOther();
    EXPECT_FALSE(Form.isVisible());
    EXPECT_EQ(Main.BackCalls, 0);
}

TEST_F(SplashOnSmallScreen, PictureLargerThanTheScreenIsCutEquallyOnBothSides) {
    WritePicture("slip.fpf", 801, 600, "JPEG");
    Form.ShowSlip();
    EXPECT_EQ(Form.pos(), QPoint((640 - 801) / 2, (480 - 600) / 2));
    EXPECT_EQ(Form.pos(), QPoint(-80, -60));
    Form.hide();
}

TEST_F(Splash, UnreadablePictureLeavesTheWindowTinyAndHidden) {
    EXPECT_THROW(Form.ShowPraise(), EInOutError);
    EXPECT_FALSE(Form.isVisible());
    EXPECT_EQ(Form.size(), QSize(1, 1));

    Box.Write("content/RFPF/right.fpf", "GIF89a not a picture at all");
    EXPECT_THROW(Form.ShowRight(10), EInvalidGraphic);
    EXPECT_FALSE(Form.isVisible());
    EXPECT_EQ(Form.size(), QSize(1, 1));
}
