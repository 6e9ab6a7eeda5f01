#include "platform/Keys.h"
#include "platform/Text.h"

#include <QKeyEvent>
#include <gtest/gtest.h>
#include <vector>

using namespace platform;

namespace {

QKeyEvent Key(int key, const QString& text = {}, Qt::KeyboardModifiers m = Qt::NoModifier) {
    return QKeyEvent(QEvent::KeyPress, key, m, text);
}

// What DispatchKey delivered: key-downs as "D<vk>/<shift>", key-presses as "P<byte>".
std::vector<std::string> Dispatch(const QKeyEvent& e, bool consumeDown) {
    std::vector<std::string> seen;
    DispatchKey(
        e,
        [&](WORD& key, TShiftState shift) {
            seen.push_back("D" + std::to_string(key) + "/" + std::to_string(shift));
            if (consumeDown)
                key = 0;
        },
        [&](char& ch) { seen.push_back("P" + std::to_string(static_cast<unsigned char>(ch))); });
    return seen;
}

} // namespace

TEST(Keys, VirtualKeysFollowWindows) {
    EXPECT_EQ(VirtualKey(Key(Qt::Key_Backspace)), VK_BACK);
    EXPECT_EQ(VirtualKey(Key(Qt::Key_Enter)), VK_RETURN);
    EXPECT_EQ(VirtualKey(Key(Qt::Key_Escape)), VK_ESCAPE);
    EXPECT_EQ(VirtualKey(Key(Qt::Key_Delete)), VK_DELETE);
    EXPECT_EQ(VirtualKey(Key(Qt::Key_F1)), VK_F1);
    EXPECT_EQ(VirtualKey(Key(Qt::Key_F12)), VK_F12);
    EXPECT_EQ(VirtualKey(Key(Qt::Key_A)), 'A');
    EXPECT_EQ(VirtualKey(Key(Qt::Key_1)), '1');
    EXPECT_EQ(VirtualKey(Key(Qt::Key_1, "1", Qt::KeypadModifier)), VK_NUMPAD1);
    // Under the Russian layout Qt reports the Cyrillic letter; Windows the key beneath it.
    EXPECT_EQ(VirtualKey(Key(0x0419, QString::fromUtf8("й"))), 'Q');
    EXPECT_EQ(VirtualKey(Key(0x0416, QString::fromUtf8("ж"))), 0xBA);
    EXPECT_EQ(VirtualKey(Key(0x0401, QString::fromUtf8("ё"))), 0xC0);
    EXPECT_EQ(VirtualKey(Key(Qt::Key_unknown)), 0);
}

TEST(Keys, KeyDownComesFirstAndAHandledKeyTypesNothing) {
    using V = std::vector<std::string>;
    EXPECT_EQ(Dispatch(Key(0x0416, QString::fromUtf8("ж")), false), (V{"D186/0", "P230"}))
        << "the character comes from the text, in cp1251";
    EXPECT_EQ(Dispatch(Key(Qt::Key_A, "A", Qt::ShiftModifier), false), (V{"D65/1", "P65"}));
    EXPECT_EQ(Dispatch(Key(Qt::Key_F2), true), (V{"D113/0"}));
    EXPECT_EQ(Dispatch(Key(Qt::Key_Return, "\r"), true), (V{"D13/0"}));
    EXPECT_EQ(Dispatch(Key(Qt::Key_Return), false), (V{"D13/0", "P13"}))
        << "Enter types CR even where the platform gives it no text";
    EXPECT_EQ(Dispatch(Key(Qt::Key_Delete, "\x7F"), false), (V{"D46/0"}));
    EXPECT_EQ(Dispatch(Key(0, QString::fromUtf8("ё")), false), (V{"P184"}))
        << "a character without a virtual key is still typed";
    EXPECT_EQ(Dispatch(Key(0, QString::fromUtf8("é")), false), (V{}));
}
