#include "ScreensFixture.h"

#include "platform/Image.h"
#include "platform/Picture.h"
#include "platform/Text.h"
#include "screens/frmExitQuery.h"

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <algorithm>

using namespace platform;

namespace {

class ExitQuery : public ScreensTest {
protected:
    // Asks with the given option 1 state and answers with `answer` once the dialog is up. A
    // choice that was refused leaves the dialog up; it is then ended with 99.
    int AskAndAnswer(bool allowContinue, std::function<void()> answer) {
        QObject scope; // no timer outlives this question
        QTimer::singleShot(10, &scope, [&] {
            EXPECT_TRUE(Form.IsModal());
            answer();
            QTimer::singleShot(10, &scope, [&] {
                if (Form.IsModal())
                    Form.SetModalResult(99);
            });
        });
        return Form.Ask(allowContinue);
    }
    int WithKey(bool allowContinue, int key, const QString& text,
                Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        return AskAndAnswer(allowContinue,
                            [&, key, text, modifiers] { Key(&Form, key, text, modifiers); });
    }
    void Create() {
        Form.FormCreate();
        frmExitQuery = &Form;
    }
    TfrmExitQuery Form;
};

} // namespace

TEST_F(ExitQuery, KeysChooseTheirOptionsTheKeypadsToo) {
    WritePicture("exit.fpf", 320, 120, "BMP");
    Create();
    EXPECT_EQ(WithKey(true, Qt::Key_1, "1"), 1);
    EXPECT_EQ(WithKey(true, Qt::Key_2, "2"), 2);
    EXPECT_EQ(WithKey(true, Qt::Key_3, "3"), 3);
    EXPECT_EQ(WithKey(true, Qt::Key_1, "1", Qt::KeypadModifier), 1);
    EXPECT_EQ(WithKey(true, Qt::Key_2, "2", Qt::KeypadModifier), 2);
    EXPECT_EQ(WithKey(true, Qt::Key_3, "3", Qt::KeypadModifier), 3);
    // Other characters, Esc and Enter choose nothing.
    EXPECT_EQ(WithKey(true, Qt::Key_4, "4"), 99);
    EXPECT_EQ(WithKey(true, Qt::Key_Escape, "\x1b"), 99);
    EXPECT_EQ(WithKey(true, Qt::Key_Return, "\r"), 99);
}

TEST_F(ExitQuery, DisabledFirstOptionIgnoresKeyAndClick) {
    WritePicture("exit.fpf", 320, 120, "BMP");
    Create();
    const int result = AskAndAnswer(false, [&] {
        EXPECT_FALSE(Form.btnCancel->isEnabled());
        EXPECT_FALSE(Form.lblCancel->isEnabled());
        Key(&Form, Qt::Key_1, "1");
        ClickAt(&Form, Form.btnCancel->geometry().center());
        ClickAt(&Form, Form.lblCancel->geometry().center());
        EXPECT_TRUE(Form.IsModal());
        Key(&Form, Qt::Key_2, "2");
    });
    EXPECT_EQ(result, 2);
    // Switched on again for the next question.
    EXPECT_EQ(WithKey(true, Qt::Key_1, "1"), 1);
    EXPECT_TRUE(Form.lblCancel->isEnabled());
}

TEST_F(ExitQuery, ClicksAnywhereOnAnOptionLineChooseIt) {
    WritePicture("exit.fpf", 320, 120, "BMP");
    Create();
    // On the label's text, which lies over the click area.
    EXPECT_EQ(AskAndAnswer(true, [&] { ClickAt(&Form, Form.lblCancel->geometry().center()); }), 1);
    EXPECT_EQ(AskAndAnswer(true, [&] { ClickAt(&Form, QPoint(300, 68)); }), 2);
    EXPECT_EQ(AskAndAnswer(true, [&] { ClickAt(&Form, Form.lblExit->geometry().center()); }), 3);
    // The heading is no option.
    EXPECT_EQ(AskAndAnswer(true, [&] { ClickAt(&Form, QPoint(160, 10)); }), 99);
}

TEST_F(ExitQuery, ClosingThroughTheWindowSystemCountsAsChoosingAnotherVariant) {
    WritePicture("exit.fpf", 320, 120, "BMP");
    Create();
    EXPECT_EQ(AskAndAnswer(true, [&] { Form.close(); }), 2);
}

TEST_F(ExitQuery, TextsFromTheStringsAndTheOptionBlockCentredIn320) {
    strKeepWorking = "1. \xcf\xf0\xee\xe4\xee\xeb\xe6\xe8\xf2\xfc"; // 1. Продолжить
    strChangeVariant = "2. Choose another variant, please, any of them";
    WritePicture("exit.fpf", 360, 150, "BMP");
    Create();
    EXPECT_EQ(Form.Caption(), "Exit?");
    EXPECT_EQ(Form.lblCancel->text(), QString::fromUtf8("1. Продолжить"));
    EXPECT_EQ(Form.lblExit->text(), "3. Quit");
    const int widest =
        std::max({Form.lblCancel->width(), Form.lblVariant->width(), Form.lblExit->width()});
    EXPECT_EQ(widest, Form.lblVariant->width());
    for (QLabel* label : {Form.lblCancel, Form.lblVariant, Form.lblExit})
        EXPECT_EQ(label->x(), (320 - widest) / 2) << label->objectName().toStdString();
    EXPECT_EQ(Form.lblCancel->y(), 30);
    EXPECT_EQ(Form.lblExit->y(), 86);
    // The window takes the picture's size; the heading spans it.
    EXPECT_EQ(Form.size(), QSize(360, 150));
    EXPECT_EQ(Form.lblYouWant->geometry().left(), 0);
    EXPECT_EQ(Form.lblYouWant->width(), 360);
    EXPECT_EQ(Form.lblYouWant->text(), "You want...");
}

TEST_F(ExitQuery, OptionsWiderThanTheWindowStartLeftOfIt) {
    strExitZarvo = std::string(120, 'W');
    WritePicture("exit.fpf", 320, 120, "BMP");
    Create();
    EXPECT_GT(Form.lblExit->width(), 320);
    EXPECT_LT(Form.lblExit->x(), 0);
    EXPECT_EQ(Form.lblCancel->x(), Form.lblExit->x());
}

TEST_F(ExitQuery, PictureIsABitmapOrElseJpeg) {
    WritePicture("exit.fpf", 330, 125, "JPEG");
    Create();
    EXPECT_EQ(Form.size(), QSize(330, 125));
    EXPECT_EQ(Form.imgBackground->Picture().Width(), 330);
}

TEST_F(ExitQuery, UnreadablePictureKeepsTheTextsAndTheDesignSize) {
    Box.Write("content/RFPF/exit.fpf", "neither a bitmap nor a JPEG");
    EXPECT_THROW(Form.FormCreate(), EInvalidGraphic);
    EXPECT_EQ(Form.Caption(), "Exit?");
    EXPECT_EQ(Form.lblVariant->text(), "2. Choose another variant");
    EXPECT_EQ(Form.size(), QSize(320, 120));

    TfrmExitQuery missing;
    QFile::remove(QString::fromStdString(Box.ContentDir() + "RFPF/exit.fpf"));
    EXPECT_THROW(missing.FormCreate(), EInOutError);
    // Still usable: the question works without its picture.
    frmExitQuery = &missing;
    Later(10, [&] { Key(&missing, Qt::Key_3, "3"); });
    EXPECT_EQ(missing.Ask(false), 3);
}

TEST_F(ExitQuery, AfterAFailedStartTheDesignTextsStay) {
    GlobalFailure = true;
    Create();
    EXPECT_EQ(Form.windowTitle(), QString::fromUtf8("Выход?"));
    EXPECT_EQ(Form.lblCancel->text(), QString::fromUtf8("1. Продолжить работу"));
    EXPECT_EQ(Form.lblExit->text(), QString::fromUtf8("3. Выйти из программы"));
    EXPECT_EQ(Form.size(), QSize(320, 120));
}
