#include "platform/Form.h"
#include "support/Watchdog.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace platform;

namespace {

// A form that writes down what its handlers saw: key-downs as "D<vk>", key-presses as
// "P<byte>". The keys in Consume are marked handled by the key-down handler.
class TRecordingForm : public TForm {
public:
    std::vector<std::string> Seen;
    std::vector<WORD> Consume;
    bool AllowClose = true;

    void FormKeyDown(WORD& key, TShiftState) override {
        Seen.push_back("D" + std::to_string(key));
        for (WORD c : Consume)
            if (key == c)
                key = 0;
    }
    void FormKeyPress(char& key) override {
        Seen.push_back("P" + std::to_string(static_cast<unsigned char>(key)));
    }

protected:
    bool FormCloseQuery() override { return AllowClose; }
};

// A focusable control that takes no keys: Qt passes each one on to its parents.
class TDeafControl : public QWidget {
public:
    using QWidget::QWidget;
    int Keys = 0;

protected:
    void keyPressEvent(QKeyEvent* e) override {
        ++Keys;
        e->ignore();
    }
};

// A key pressed on `target` as Qt delivers it: to the control first, then, while ignored, to
// each parent in turn.
void Press(QWidget* target, int key, const QString& text = {}) {
    QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &e);
    QKeyEvent up(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &up);
}

using Seen = std::vector<std::string>;

} // namespace

TEST(Form, KeyPreviewSeesEachKeyOnce) {
    TRecordingForm form;
    form.SetKeyPreview(true);
    auto* panel = new QWidget(&form);
    auto* deaf = new TDeafControl(panel);
    auto* edit = new QLineEdit(&form);

    // The control ignores F2 and Qt hands the same event to the panel and the form: the form's
    // handlers still run once.
    Press(deaf, Qt::Key_F2);
    EXPECT_EQ(form.Seen, (Seen{"D113"}));
    EXPECT_EQ(deaf->Keys, 1);

    // A control that takes the key: the form sees it first, then the control gets it.
    form.Seen.clear();
    Press(edit, Qt::Key_A, "a");
    EXPECT_EQ(form.Seen, (Seen{"D65", "P97"}));
    EXPECT_EQ(edit->text(), "a");

    // Two presses of one key are two keys.
    form.Seen.clear();
    Press(deaf, Qt::Key_F2);
    Press(deaf, Qt::Key_F2);
    EXPECT_EQ(form.Seen, (Seen{"D113", "D113"}));

    // Without preview only what reaches the form itself is seen, once.
    form.SetKeyPreview(false);
    form.Seen.clear();
    Press(edit, Qt::Key_B, "b");
    EXPECT_TRUE(form.Seen.empty());
    Press(deaf, Qt::Key_F3);
    EXPECT_EQ(form.Seen, (Seen{"D114"}));
}

TEST(Form, AKeyHandledOnKeyDownTypesNothing) {
    TRecordingForm form;
    form.Consume = {'A', VK_RETURN};
    form.SetKeyPreview(true);
    auto* edit = new QLineEdit(&form);
    Press(edit, Qt::Key_A, "a");
    Press(edit, Qt::Key_Return, "\r");
    EXPECT_EQ(form.Seen, (Seen{"D65", "D13"}));
    // Handled in the preview, the key never reaches the control.
    EXPECT_EQ(edit->text(), "");

    form.Seen.clear();
    Press(&form, Qt::Key_C, "c");
    EXPECT_EQ(form.Seen, (Seen{"D67", "P99"}));
}

TEST(Form, TypedCyrillicArrivesAsItsCodePageByte) {
    TRecordingForm form;
    Press(&form, 0x0416, QString::fromUtf8("ж")); // the letter under ';' on a Russian layout
    Press(&form, 0x0401, QString::fromUtf8("Ё"));
    EXPECT_EQ(form.Seen, (Seen{"D186", "P230", "D192", "P168"}));
}

TEST(Form, ShowModalEndsOnTheModalResultOrWithCancelWhenClosed) {
    TWatchdog watchdog;
    TRecordingForm form;
    Later(0, [&] {
        EXPECT_TRUE(form.IsModal());
        form.SetModalResult(mrOk);
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_FALSE(form.IsModal());
    EXPECT_FALSE(form.isVisible());

    // Closed by the window system.
    Later(0, [&] { form.close(); });
    EXPECT_EQ(form.ShowModal(), mrCancel);
    EXPECT_EQ(form.ModalResult(), mrCancel);

    // A result set while the form is not modal ends nothing, and the next ShowModal starts
    // afresh.
    form.SetModalResult(mrOk);
    Later(0, [&] {
        EXPECT_EQ(form.ModalResult(), mrNone);
        form.SetModalResult(mrCancel);
    });
    EXPECT_EQ(form.ShowModal(), mrCancel);
}

TEST(Form, CloseQueryKeepsTheWindowOpen) {
    TWatchdog watchdog;
    TRecordingForm form;
    form.AllowClose = false;
    form.show();
    EXPECT_FALSE(form.close());
    EXPECT_TRUE(form.isVisible());

    // Refused while modal too: the loop goes on until a result ends it.
    bool stillModal = false;
    Later(0, [&] {
        form.close();
        stillModal = form.IsModal() && form.isVisible();
        form.SetModalResult(mrOk);
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_TRUE(stillModal);

    form.AllowClose = true;
    EXPECT_TRUE(form.close());
    EXPECT_FALSE(form.isVisible());
}

// What a box or question comes over: under the window manager a window kept on top (a rule
// window) hides anything that is neither kept on top nor transient for it.
TEST(Form, BoxesBelongToTheWindowOnTop) {
    TWatchdog watchdog(10000);
    EXPECT_EQ(TopWindow(), nullptr);
    TForm main;
    main.setWindowFlags(Qt::Window);
    main.show();
    TForm rule;
    rule.setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint);
    TForm question;
    question.setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);

    EXPECT_EQ(TopWindow(&question), &main);
    MakeTransientForTop(&question);
    ASSERT_NE(question.windowHandle(), nullptr);
    EXPECT_EQ(question.windowHandle()->transientParent(), main.windowHandle());
    EXPECT_FALSE(question.windowFlags() & Qt::WindowStaysOnTopHint);

    // The rule window comes up over the main window, though the main window stays active.
    rule.show();
    main.activateWindow();
    EXPECT_EQ(TopWindow(&question), &rule);
    EXPECT_EQ(TopWindow(&rule), &main) << "never the window about to come up";
    MakeTransientForTop(&question);
    EXPECT_EQ(question.windowHandle()->transientParent(), rule.windowHandle());
    EXPECT_TRUE(question.windowFlags() & Qt::WindowStaysOnTopHint);

    // A question running modally is on top of both; a hidden window counts no more.
    bool seen = false;
    QTimer::singleShot(0, &question, [&] {
        seen = TopWindow() == &question;
        question.SetModalResult(mrOk);
    });
    question.ShowModal();
    EXPECT_TRUE(seen);
    rule.hide();
    main.hide();
    EXPECT_EQ(TopWindow(), nullptr);
    MakeTransientForTop(&question);
    EXPECT_EQ(question.windowHandle()->transientParent(), nullptr);
}
