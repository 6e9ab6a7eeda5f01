#include "screens/FButton.h"

#include "platform/Picture.h"
#include "support/Sandbox.h"

#include <QBuffer>
#include <QImageWriter>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

using namespace platform;

namespace {

constexpr TColor UpColour = 0x00C08040;
constexpr TColor DownColour = 0x00204080;

std::string BmpBytes(int w, int h, TColor colour) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter(&buffer, "bmp").write(TBitmap(w, h, colour).Image());
    return bytes.toStdString();
}

// A shown button inside a form, as the exercise screen has them.
struct TForm {
    QWidget Form;
    TFButton* Button = new TFButton(&Form);
    TForm() {
        Form.resize(300, 200);
        Form.show();
    }
    TColor Face() const {
        return Button->Picture().Empty() ? clInvalid : Button->Picture().GetPixel(0, 0);
    }
};

} // namespace

TEST(FButton, StartsAsAnAutoSizedCentredFiftyPixelImage) {
    TForm f;
    TFButton& b = *f.Button;
    EXPECT_TRUE(b.AutoSize());
    EXPECT_TRUE(b.Center());
    EXPECT_FALSE(b.Stretch());
    EXPECT_FALSE(b.Transparent());
    EXPECT_TRUE(b.Enabled());
    EXPECT_TRUE(b.Visible());
    EXPECT_EQ(b.size(), QSize(50, 50));
    EXPECT_TRUE(b.UpImage().Empty());
    EXPECT_TRUE(b.DownImage().Empty());
    EXPECT_TRUE(b.Picture().Empty());
}

TEST(FButton, FacesFollowThePressOfAnyMouseButton) {
    TSandbox box;
    TForm f;
    TFButton& b = *f.Button;
    b.LoadUpImage(box.Write("0077.fbf", BmpBytes(70, 94, UpColour)));
    EXPECT_EQ(f.Face(), UpColour);
    EXPECT_EQ(b.size(), QSize(70, 94));
    b.LoadDownImage(box.Write("1077.fbf", BmpBytes(70, 94, DownColour)));
    EXPECT_EQ(f.Face(), UpColour); // loading the down face shows nothing new

    int clicks = 0;
    b.OnClick = [&] { ++clicks; };
    for (Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}) {
        QTest::mousePress(&b, button, {}, QPoint(5, 5));
        EXPECT_EQ(f.Face(), DownColour) << button;
        QTest::mouseRelease(&b, button, {}, QPoint(5, 5));
        EXPECT_EQ(f.Face(), UpColour) << button;
    }
    EXPECT_EQ(clicks, 1);

    // Released after the pointer left: the up face comes back, but it is no click.
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(250, 150));
    EXPECT_EQ(f.Face(), UpColour);
    EXPECT_EQ(clicks, 1);

    // A disabled button gets no mouse events and keeps its face.
    b.SetEnabled(false);
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(f.Face(), UpColour);
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(5, 5));
}

TEST(FButton, MissingFilesAreIgnoredAndDamagedOnesRaise) {
    TSandbox box;
    TForm f;
    TFButton& b = *f.Button;
    b.LoadUpImage(box.Root() + "0076.fbf");
    b.LoadDownImage(box.Root() + "1076.fbf");
    EXPECT_TRUE(b.Picture().Empty());
    EXPECT_EQ(b.size(), QSize(50, 50));

    b.LoadUpImage(box.Write("0076.fbf", BmpBytes(70, 94, UpColour)));
    // Without a down face, pressing shows an empty picture until the release.
    QTest::mousePress(&b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(b.Picture().Empty());
    EXPECT_EQ(b.size(), QSize(70, 94));
    QTest::mouseRelease(&b, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(f.Face(), UpColour);

    // A JPEG or a cut-off file under a button name is not a face: the error reaches the caller
    // and the faces stay as they were.
    const std::string bmp = BmpBytes(70, 94, DownColour);
    EXPECT_THROW(b.LoadUpImage(box.Write("0001.fbf", bmp.substr(0, 60))), EInvalidGraphic);
    EXPECT_THROW(b.LoadDownImage(box.Write("1001.fbf", "\xFF\xD8\xFF\xE0 not a bitmap")),
                 EInvalidGraphic);
    EXPECT_EQ(f.Face(), UpColour);
    EXPECT_TRUE(b.DownImage().Empty());
}

TEST(FButton, SettingTheUpFaceShowsItTheDownFaceDoesNot) {
    TForm f;
    TFButton& b = *f.Button;
    b.SetDownImage(TBitmap(20, 10, DownColour));
    EXPECT_TRUE(b.Picture().Empty());
    b.SetUpImage(TBitmap(30, 10, UpColour));
    EXPECT_EQ(f.Face(), UpColour);
    EXPECT_EQ(b.size(), QSize(30, 10));

    // The button owns copies: changing the bitmap it was given changes no face.
    TBitmap given(30, 10, clRed);
    b.SetUpImage(given);
    given.Fill(clBlack);
    EXPECT_EQ(b.UpImage().GetPixel(0, 0), clRed);
    EXPECT_EQ(f.Face(), clRed);
}
