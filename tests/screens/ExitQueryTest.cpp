#include "ScreensFixture.h"

#include "platform/Image.h"
#include "platform/Picture.h"
#include "platform/Profile.h"
#include "platform/Text.h"
#include "screens/frmExitQuery.h"

#include <QAbstractButton>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <cstdlib>
#include <set>

using namespace platform;

namespace {
class ExitQuery : public ScreensTest {
protected:
    void Create() { Form.FormCreate(); }
    // Asks and answers once the dialog is up; a refused answer leaves it up, ended then by 99.
    int Answer(bool allowContinue, std::function<void()> answer) {
        QObject scope;
        InModal(scope, [&] {
            answer();
            InModal(scope, [&] { Form.SetModalResult(99); });
        });
        return Form.Ask(allowContinue);
    }
    int Typed(bool allowContinue, int key, const char* text, Qt::KeyboardModifiers m = {}) {
        return Answer(allowContinue, [&] { Key(&Form, key, text, m); });
    }
    TfrmExitQuery Form{Settings.get()};
};
} // namespace

TEST_F(ExitQuery, KeysAndClicksChooseTheirOptions) {
    WritePicture("exit.fpf", 320, 120, "BMP");
    Create();
    EXPECT_EQ(Typed(true, Qt::Key_1, "1"), 1);
    EXPECT_EQ(Typed(true, Qt::Key_2, "2"), 2);
    EXPECT_EQ(Typed(true, Qt::Key_3, "3"), 3);
    EXPECT_EQ(Typed(true, Qt::Key_1, "1", Qt::KeypadModifier), 1);
    EXPECT_EQ(Typed(true, Qt::Key_3, "3", Qt::KeypadModifier), 3);
    EXPECT_EQ(Typed(true, Qt::Key_4, "4"), 99);
    EXPECT_EQ(Typed(true, Qt::Key_Escape, "\x1b"), 99);
    // On the text of a line or beside it; the heading is no option.
    EXPECT_EQ(Answer(true, [&] { ClickAt(&Form, Form.lblCancel->geometry().center()); }), 1);
    EXPECT_EQ(Answer(true, [&] { ClickAt(&Form, QPoint(300, 68)); }), 2);
    EXPECT_EQ(Answer(true, [&] { ClickAt(&Form, Form.lblExit->geometry().center()); }), 3);
    EXPECT_EQ(Answer(true, [&] { ClickAt(&Form, QPoint(160, 10)); }), 99);
    // Closed by the window system: as a cancelled modal window.
    EXPECT_EQ(Answer(true, [&] { Form.close(); }), 2);
}

TEST_F(ExitQuery, WithoutOptionOneOnlyTwoAndThreeAnswer) {
    WritePicture("exit.fpf", 320, 120, "BMP");
    Create();
    EXPECT_EQ(Answer(false,
                     [&] {
                         Key(&Form, Qt::Key_1, "1");
                         ClickAt(&Form, Form.lblCancel->geometry().center());
                         EXPECT_TRUE(Form.IsModal());
                         Key(&Form, Qt::Key_3, "3");
                     }),
              3);
    EXPECT_FALSE(Form.lblCancel->isEnabled());
    EXPECT_EQ(Typed(false, Qt::Key_1, "1", Qt::KeypadModifier), 99);
    EXPECT_EQ(Typed(true, Qt::Key_1, "1"), 1);
}

TEST_F(ExitQuery, TextsAreCentredAsOneBlockAndWrittenOnThePicture) {
    const QColor paper(250, 235, 190);
    WritePicture("exit.fpf", 360, 150, "BMP", paper);
    strKeepWorking = "1. \xcf\xf0\xee\xe4\xee\xeb\xe6\xe8\xf2\xfc"; // 1. Продолжить
    strChangeVariant = "2. Choose another variant, please, any of them";
    Create();
    EXPECT_EQ(Form.Caption(), "Exit?");
    EXPECT_EQ(Form.lblCancel->text(), QString::fromUtf8("1. Продолжить"));
    const int widest = Form.lblVariant->width();
    EXPECT_GT(widest, Form.lblCancel->width());
    for (QLabel* label : {Form.lblCancel, Form.lblVariant, Form.lblExit})
        EXPECT_EQ(label->x(), (320 - widest) / 2); // in the design width, not the picture's
    EXPECT_EQ(Form.size(), QSize(360, 150));
    EXPECT_EQ(Form.lblYouWant->geometry(), QRect(0, 6, 360, 20));

    // What the pupil sees, with and without option 1.
    std::vector<QImage> shots;
    for (bool allow : {true, false})
        Answer(allow, [&] {
            shots.push_back(Form.grab().toImage().convertToFormat(QImage::Format_RGB32));
            if (const char* dir = std::getenv("ZARVO_SCREENSHOT_DIR"))
                shots.back().save(QString("%1/exit-%2.png").arg(dir).arg(allow));
        });
    auto colours = [&](int shot, QLabel* label) {
        std::set<QRgb> found;
        const QRect r = label->geometry();
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                found.insert(shots[shot].pixel(x, y));
        return found;
    };
    EXPECT_EQ(shots[0].pixelColor(355, 40), paper);
    EXPECT_GT(colours(0, Form.lblExit).size(), 1u);
    EXPECT_NE(colours(0, Form.lblCancel), colours(1, Form.lblCancel)); // greyed
    EXPECT_EQ(colours(0, Form.lblExit), colours(1, Form.lblExit));
}

TEST_F(ExitQuery, OptionsWiderThanTheWindowStartLeftOfIt) {
    strExitZarvo = std::string(120, 'W');
    WritePicture("exit.fpf", 330, 125, "JPEG"); // not a bitmap: read as JPEG
    Create();
    EXPECT_LT(Form.lblExit->x(), 0);
    EXPECT_EQ(Form.size(), QSize(330, 125));
}

TEST_F(ExitQuery, UnreadablePictureKeepsTheTextsAndTheDesignSize) {
    Box.Write("content/RFPF/exit.fpf", "neither a bitmap nor a JPEG");
    EXPECT_THROW(Form.FormCreate(), EInvalidGraphic);
    QFile::remove(QString::fromStdString(Box.ContentDir() + "RFPF/exit.fpf"));
    EXPECT_THROW(Form.FormCreate(), EInOutError);
    EXPECT_EQ(Form.lblVariant->text(), "2. Choose another variant");
    EXPECT_EQ(Form.size(), QSize(320, 120));
    EXPECT_EQ(Typed(false, Qt::Key_3, "3"), 3); // the question still works

    GlobalFailure = true; // start-up failed: the design texts stay
    TfrmExitQuery failed{Settings.get()};
    failed.FormCreate();
    EXPECT_EQ(failed.lblExit->text(), QString::fromUtf8("3. Выйти из программы"));
}

TEST_F(ExitQuery, BundledPicturesHoldTheTextsOfBothLanguages) {
    Box.CopyBuiltContent("Zarvo.flt");
    for (const char* language : {"Russian", "English"}) {
        const std::string folder = std::string(language) == "Russian" ? "RFPF" : "EFPF";
        QDir().mkpath(QString::fromStdString(Box.ContentDir() + folder));
        Box.CopyBuiltContent(folder + "/exit.fpf");
        PictureFolder = folder + "\\";
        const TIniFile texts(Box.ContentDir() + "Zarvo.flt");
        const std::string section = std::string("Zarvo_") + language;
        for (std::string* s :
             {&strExit, &strYouWant, &strKeepWorking, &strChangeVariant, &strExitZarvo}) {
            for (const TInterfaceString& entry : InterfaceStrings)
                if (entry.Value == s)
                    *s = texts.ReadString(section, entry.Identifier, entry.Default);
        }
        TfrmExitQuery form{Settings.get()};
        form.FormCreate();
        ASSERT_GT(form.width(), 0);
        // Every line stands whole on the picture, and clear of the next one.
        for (QLabel* label : {form.lblYouWant, form.lblCancel, form.lblVariant, form.lblExit}) {
            EXPECT_GE(label->x(), 0) << label->text().toStdString();
            EXPECT_LE(label->geometry().right(), form.width() - 1) << label->text().toStdString();
        }
        EXPECT_LE(form.lblCancel->geometry().bottom(), form.lblVariant->y());
        EXPECT_LE(form.lblVariant->geometry().bottom(), form.lblExit->y());
        if (const char* dir = std::getenv("ZARVO_SCREENSHOT_DIR"))
            form.grab().save(QString("%1/exit-%2.png").arg(dir, language));
    }
}
