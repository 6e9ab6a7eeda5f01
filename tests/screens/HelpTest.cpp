#include "ScreensFixture.h"

#include "platform/Exception.h"
#include "platform/Text.h"
#include "screens/frmHelp.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

using namespace platform;

namespace {

class Help : public ScreensTest {
protected:
    void Create() {
        Form.FormCreate();
        frmHelp = &Form;
    }
    // Shows the window and waits until it is the active one, as after F1.
    void Show() {
        // The offscreen platform keeps a hidden window as its focus window and would not
        // activate it again; another window takes the focus in between, as on a desktop.
        if (Form.windowHandle() && QGuiApplication::focusWindow() == Form.windowHandle())
            ActivateOther();
        Form.ShowHelp();
        EXPECT_TRUE(QTest::qWaitFor([this] { return Form.isActiveWindow(); }, 2000));
    }
    std::string Text() const { return ToAnsi(Form.txtHelp->toPlainText()); }
    TfrmHelp Form;
};

} // namespace

TEST_F(Help, LinesEndInAnyBreakAndAreShownUnwrapped) {
    // "Справка" in code page 1251, then lines ended by CR LF, a lone CR and a lone LF.
    Box.Write("content/RFPF/help.txt", "\xd1\xef\xf0\xe0\xe2\xea\xe0\r\none\rtwo\n\nthree "
                                       "and a very long line that the text box does not wrap\r\n");
    Create();
    EXPECT_EQ(Form.txtHelp->toPlainText(),
              QString::fromUtf8("Справка\none\ntwo\n\nthree and a very long line that the text "
                                "box does not wrap"));
    EXPECT_EQ(Form.txtHelp->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(Form.Caption(), "Zarvo Help");
    EXPECT_EQ(Form.btnClose->text(), "Close");
}

TEST_F(Help, ProgramDirectoryWinsOverTheContentDirectory) {
    Box.Write("content/RFPF/help.txt", "content");
    Box.Write("program/RFPF/help.txt", "program");
    Create();
    EXPECT_EQ(Text(), "program");
}

TEST_F(Help, WithoutAPictureFolderTheFileLiesDirectlyInTheDirectory) {
    PictureFolder.clear();
    Box.Write("content/help.txt", "content");
    TfrmHelp fromContent;
    fromContent.FormCreate();
    EXPECT_EQ(ToAnsi(fromContent.txtHelp->toPlainText()), "content");

    Box.Write("program/help.txt", "program");
    Create();
    EXPECT_EQ(Text(), "program");
}

TEST_F(Help, MissingFileIsReportedAndTheWindowOpensEmpty) {
    EXPECT_THROW(Form.FormCreate(), EInOutError);
    EXPECT_EQ(Form.Caption(), "Zarvo Help");
    EXPECT_EQ(Form.btnClose->text(), "Close");
    EXPECT_EQ(Form.palette().color(QPalette::Window), QColor(0xCB, 0xF3, 0xFF));
    EXPECT_TRUE(Form.txtHelp->toPlainText().isEmpty());
    Show();
    EXPECT_TRUE(Form.isVisible());
    Form.HideHelp();
}

TEST_F(Help, OversizedFileIsRefused) {
    Box.Write("content/RFPF/help.txt", std::string(TfrmHelp::MaxHelpSize + 1, 'x'));
    EXPECT_THROW(Form.FormCreate(), Exception);
    EXPECT_TRUE(Form.txtHelp->toPlainText().isEmpty());
}

TEST_F(Help, LayoutFollowsTheSizeDownToTheSmallest) {
    Box.Write("content/RFPF/help.txt", "text");
    Create();
    Show();
    // The design layout.
    EXPECT_EQ(Form.txtHelp->geometry(), QRect(8, 8, 393, 265));
    EXPECT_EQ(Form.btnClose->geometry(), QRect(8, 278, 394, 33));

    Form.resize(300, 200);
    QCoreApplication::processEvents();
    ASSERT_EQ(Form.size(), QSize(400, 300));
    EXPECT_EQ(Form.txtHelp->geometry(), QRect(8, 8, 385, 300 - 33 - 18));
    EXPECT_EQ(Form.btnClose->geometry(), QRect(8, 249 + 13, 386, 33));
    EXPECT_LE(Form.btnClose->geometry().bottom(), 300);

    Form.resize(700, 500);
    QCoreApplication::processEvents();
    EXPECT_EQ(Form.txtHelp->geometry(), QRect(8, 8, 685, 449));
    EXPECT_EQ(Form.btnClose->geometry(), QRect(8, 462, 686, 33));
    Form.HideHelp();
}

TEST_F(Help, SpaceEnterCloseAndLossOfActivationHideIt) {
    Box.Write("content/RFPF/help.txt", "text");
    Create();

    Show();
    Key(Form.txtHelp, Qt::Key_A, "a");
    EXPECT_TRUE(Form.isVisible());
    Key(Form.txtHelp, Qt::Key_Space, " ");
    EXPECT_FALSE(Form.isVisible());
    // The character went on to the text box, which is only a view of the file.
    EXPECT_EQ(Form.txtHelp->toPlainText().count(' '), 1);

    Show();
    Key(Form.txtHelp, Qt::Key_Return, "\r");
    EXPECT_FALSE(Form.isVisible());

    Show();
    ClickAt(&Form, Form.btnClose->geometry().center());
    EXPECT_FALSE(Form.isVisible());

    Show();
    ActivateOther();
    EXPECT_FALSE(Form.isVisible());
}

TEST_F(Help, ScrollPositionSurvivesHidingAndShowing) {
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    Box.Write("content/RFPF/help.txt", text);
    Create();
    Show();
    QScrollBar* bar = Form.txtHelp->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 50);
    bar->setValue(50);
    Form.HideHelp();
    Show();
    EXPECT_EQ(bar->value(), 50);
    Form.HideHelp();
}

TEST_F(Help, BundledHelpTextsAreRussianAndEnglish) {
    Box.CopyBuiltContent("RFPF");
    Box.CopyBuiltContent("EFPF");
    Create();
    const QString russian = Form.txtHelp->toPlainText();
    EXPECT_TRUE(russian.contains(QString::fromUtf8("ВЫБОР ВАРИАНТА"))) << russian.toStdString();
    EXPECT_TRUE(russian.contains("F1"));
    EXPECT_FALSE(russian.contains(QChar(0xFFFD)));

    PictureFolder = "EFPF\\";
    TfrmHelp english;
    english.FormCreate();
    EXPECT_TRUE(english.txtHelp->toPlainText().contains("CHOOSING A VARIANT"));
}
