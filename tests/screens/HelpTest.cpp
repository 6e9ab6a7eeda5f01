#include "ScreensFixture.h"

#include "platform/Exception.h"
#include "platform/Profile.h"
#include "platform/Text.h"
#include "screens/frmHelp.h"

#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>

using namespace platform;

namespace {
class Help : public ScreensTest {
protected:
    ~Help() override { Form.hide(); }
    // Shown and active, as after F1.
    void Show() {
        // The offscreen platform keeps a hidden window as its focus window and would not
        // activate it again; another window takes the focus in between, as on a desktop.
        if (Form.windowHandle() && QGuiApplication::focusWindow() == Form.windowHandle())
            ActivateOther();
        Form.ShowHelp();
        EXPECT_TRUE(QTest::qWaitFor([this] { return Form.isActiveWindow(); }, 2000));
    }
    QString Text() const { return Form.txtHelp->toPlainText(); }
    TfrmHelp Form{Settings.get()};
};
} // namespace

TEST_F(Help, FileOfTheProgramDirectoryWinsAndItsLinesEndInAnyBreak) {
    Box.Write("content/RFPF/help.txt", "content");
    // "Справка" in code page 1251; CR LF, a lone CR and a lone LF.
    Box.Write("program/RFPF/help.txt", "\xd1\xef\xf0\xe0\xe2\xea\xe0\r\none\rtwo\n\nthree\r\n");
    Form.FormCreate();
    EXPECT_EQ(Text(), QString::fromUtf8("Справка\none\ntwo\n\nthree"));
    EXPECT_EQ(Form.txtHelp->lineWrapMode(), QPlainTextEdit::NoWrap);
    EXPECT_EQ(Form.Caption(), "Zarvo Help");

    PictureFolder.clear(); // a language without a picture folder
    Box.Write("content/help.txt", "directly in the content directory");
    TfrmHelp plain{Settings.get()};
    plain.FormCreate();
    EXPECT_EQ(plain.txtHelp->toPlainText(), "directly in the content directory");
}

TEST_F(Help, UnreadableFileLeavesAnEmptyWindowWithItsTexts) {
    EXPECT_THROW(Form.FormCreate(), EInOutError);
    Box.Write("content/RFPF/help.txt", std::string(TfrmHelp::MaxHelpSize + 1, 'x'));
    EXPECT_THROW(Form.FormCreate(), Exception);
    EXPECT_TRUE(Text().isEmpty());
    EXPECT_EQ(Form.btnClose->text(), "Close");
    EXPECT_EQ(Form.palette().color(QPalette::Window), QColor(0xCB, 0xF3, 0xFF));
}

TEST_F(Help, LayoutFollowsTheSizeDownToTheSmallest) {
    Box.Write("content/RFPF/help.txt", "text");
    Form.FormCreate();
    Show();
    EXPECT_EQ(Form.txtHelp->geometry(), QRect(8, 8, 393, 265));
    Form.resize(300, 200);
    ASSERT_EQ(Form.size(), QSize(400, 300));
    EXPECT_EQ(Form.txtHelp->geometry(), QRect(8, 8, 385, 249));
    EXPECT_EQ(Form.btnClose->geometry(), QRect(8, 262, 386, 33));
}

TEST_F(Help, SpaceEnterCloseAndLossOfActivationHideItKeepingTheScrollPosition) {
    std::string text;
    for (int i = 0; i < 200; ++i)
        text += "line " + std::to_string(i) + "\r\n";
    Box.Write("content/RFPF/help.txt", text);
    Form.FormCreate();
    Show();
    Form.txtHelp->verticalScrollBar()->setValue(50);
    ClickAt(&Form, Form.btnClose->geometry().center());
    EXPECT_FALSE(Form.isVisible());
    Show();
    EXPECT_EQ(Form.txtHelp->verticalScrollBar()->value(), 50);
    ActivateOther();
    EXPECT_FALSE(Form.isVisible());

    Show();
    Key(Form.txtHelp, Qt::Key_A, "a");
    EXPECT_TRUE(Form.isVisible());
    Key(Form.txtHelp, Qt::Key_Space, " ");
    EXPECT_FALSE(Form.isVisible());
    EXPECT_EQ(Text().count(' '), 200 + 1); // the space went on to the text box
    Show();
    Key(Form.txtHelp, Qt::Key_Return, "\r");
    EXPECT_FALSE(Form.isVisible());
}

TEST_F(Help, BundledTextsAreRussianAndEnglish) {
    for (const char* folder : {"RFPF", "EFPF"}) {
        QDir().mkpath(QString::fromStdString(Box.ContentDir() + folder));
        Box.CopyBuiltContent(folder + std::string("/help.txt"));
    }
    Form.FormCreate();
    EXPECT_TRUE(Text().contains(QString::fromUtf8("ВЫБОР ВАРИАНТА")));
    EXPECT_FALSE(Text().contains(QChar(0xFFFD)));
    Form.resize(400, 300);
    if (const char* dir = std::getenv("ZARVO_SCREENSHOT_DIR"))
        Form.grab().save(QString(dir) + "/help.png");
    PictureFolder = "EFPF\\";
    TfrmHelp english{Settings.get()};
    english.FormCreate();
    EXPECT_TRUE(english.txtHelp->toPlainText().contains("CHOOSING A VARIANT"));

    // The help names the buttons by the captions the pupil sees on them.
    Box.CopyBuiltContent("Zarvo.flt");
    const TIniFile texts(Box.ContentDir() + "Zarvo.flt");
    for (const auto& [section, help] : {std::pair{"Zarvo_Russian", Text()},
                                        std::pair{"Zarvo_English", english.txtHelp->toPlainText()}})
        for (const char* caption : {"strGo", "strClose"}) {
            const QString shown = FromAnsi(texts.ReadString(section, caption, ""));
            EXPECT_FALSE(shown.isEmpty()) << section << " " << caption;
            EXPECT_TRUE(help.contains(shown)) << section << " " << caption;
        }
}
