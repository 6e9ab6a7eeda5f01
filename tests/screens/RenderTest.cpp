// The screens as a pupil sees them, grabbed offscreen. With ZARVO_SCREENSHOT_DIR set the grabs
// are also written there as PNG files for a look by eye.

#include "ScreensFixture.h"

#include "platform/Image.h"
#include "screens/frmExitQuery.h"
#include "screens/frmHelp.h"
#include "screens/frmSplash.h"

#include <QLabel>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <cstdlib>
#include <set>

namespace {

class Render : public ScreensTest {
protected:
    static QImage Grab(QWidget& w, const char* name) {
        QImage image = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
        if (const char* dir = std::getenv("ZARVO_SCREENSHOT_DIR"); dir && *dir)
            image.save(QString::fromUtf8(dir) + "/" + name + ".png");
        return image;
    }
    // The colours found inside a rectangle of an image.
    static std::set<QRgb> Colours(const QImage& image, QRect r) {
        std::set<QRgb> found;
        r = r.intersected(image.rect());
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                found.insert(image.pixel(x, y) | 0xFF000000u);
        return found;
    }
};

} // namespace

TEST_F(Render, ExitQuestionWritesItsOptionsOnThePicture) {
    const QColor paper(250, 235, 190);
    WritePicture("exit.fpf", 320, 120, "BMP", paper);
    strKeepWorking = "1. \xcf\xf0\xee\xe4\xee\xeb\xe6\xe8\xf2\xfc \xf0\xe0\xe1\xee\xf2\xf3";
    TfrmExitQuery form;
    form.FormCreate();
    frmExitQuery = &form;
    QImage enabled, disabled;
    for (bool allow : {true, false}) {
        QObject scope;
        QTimer::singleShot(10, &scope, [&] {
            (allow ? enabled : disabled) = Grab(form, allow ? "exit-query" : "exit-query-no-1");
            form.SetModalResult(2);
        });
        form.Ask(allow);
    }
    ASSERT_EQ(enabled.size(), QSize(320, 120));
    // Outside the texts the picture shows through the transparent labels and buttons.
    EXPECT_EQ(enabled.pixel(2, 115) | 0xFF000000u, paper.rgb());
    EXPECT_EQ(enabled.pixel(315, 40) | 0xFF000000u, paper.rgb());
    for (QLabel* label : {form.lblYouWant, form.lblCancel, form.lblVariant, form.lblExit})
        EXPECT_GT(Colours(enabled, label->geometry()).size(), 1u)
            << label->objectName().toStdString();
    // A switched-off first option is drawn differently, the others as before.
    EXPECT_NE(Colours(enabled, form.lblCancel->geometry()),
              Colours(disabled, form.lblCancel->geometry()));
    EXPECT_EQ(Colours(enabled, form.lblExit->geometry()),
              Colours(disabled, form.lblExit->geometry()));
}

TEST_F(Render, HelpWindowOnItsLightBlue) {
    Box.CopyBuiltContent("RFPF");
    TfrmHelp form;
    form.FormCreate();
    form.resize(400, 300);
    form.show();
    const QImage image = Grab(form, "help");
    // Between the text box and the button: the window's own colour.
    const QRect textBox = form.txtHelp->geometry();
    EXPECT_EQ(image.pixel(textBox.left() + 20, textBox.bottom() + 4) | 0xFF000000u,
              QColor(0xCB, 0xF3, 0xFF).rgb());
    EXPECT_GT(Colours(image, form.btnClose->geometry()).size(), 1u);
    EXPECT_GT(Colours(image, textBox.adjusted(4, 4, -20, -20)).size(), 2u);
    form.hide();
}

TEST_F(Render, SplashShowsItsWholePicture) {
    WritePicture("praise.fpf", 150, 100, "JPEG", QColor(200, 40, 40));
    TfrmSplash form;
    form.FormCreate();
    frmSplash = &form;
    QImage image;
    QObject scope;
    QTimer::singleShot(10, &scope, [&] {
        image = Grab(form, "praise");
        form.CloseSplash();
    });
    form.ShowPraise();
    ASSERT_EQ(image.size(), QSize(150, 100));
    const QColor corner = image.pixelColor(149, 99), centre = image.pixelColor(75, 50);
    EXPECT_NEAR(corner.red(), 200, 8);
    EXPECT_NEAR(centre.green(), 40, 8);
}
