#pragma once
// Windows virtual-key codes and shift states, and the split of a Qt key event into a key-down
// (virtual key + shift state) and, unless the key-down consumed it, a key-press with one cp1251
// character. The character comes from QKeyEvent::text(), which follows the keyboard layout;
// key() does not.

#include <cstdint>
#include <functional>

class QKeyEvent;
class QMouseEvent;

namespace platform {

using WORD = std::uint16_t;

enum : WORD {
    VK_LBUTTON = 0x01,
    VK_BACK = 0x08,
    VK_TAB = 0x09,
    VK_RETURN = 0x0D,
    VK_SHIFT = 0x10,
    VK_CONTROL = 0x11,
    VK_MENU = 0x12,
    VK_PAUSE = 0x13,
    VK_CAPITAL = 0x14,
    VK_ESCAPE = 0x1B,
    VK_SPACE = 0x20,
    VK_PRIOR = 0x21,
    VK_NEXT = 0x22,
    VK_END = 0x23,
    VK_HOME = 0x24,
    VK_LEFT = 0x25,
    VK_UP = 0x26,
    VK_RIGHT = 0x27,
    VK_DOWN = 0x28,
    VK_INSERT = 0x2D,
    VK_DELETE = 0x2E,
    // '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A, as in Windows.
    VK_NUMPAD0 = 0x60,
    VK_NUMPAD1 = 0x61,
    VK_NUMPAD2 = 0x62,
    VK_NUMPAD3 = 0x63,
    VK_NUMPAD9 = 0x69,
    VK_MULTIPLY = 0x6A,
    VK_ADD = 0x6B,
    VK_SUBTRACT = 0x6D,
    VK_DECIMAL = 0x6E,
    VK_DIVIDE = 0x6F,
    VK_F1 = 0x70,
    VK_F2 = 0x71,
    VK_F3 = 0x72,
    VK_F4 = 0x73,
    VK_F5 = 0x74,
    VK_F6 = 0x75,
    VK_F7 = 0x76,
    VK_F8 = 0x77,
    VK_F9 = 0x78,
    VK_F10 = 0x79,
    VK_F11 = 0x7A,
    VK_F12 = 0x7B,
};

// Shift state bits, as the Windows framework's set of ssShift, ssAlt, ssCtrl, mouse buttons.
using TShiftState = unsigned;
enum : unsigned {
    ssShift = 1u << 0,
    ssAlt = 1u << 1,
    ssCtrl = 1u << 2,
    ssLeft = 1u << 3,
    ssRight = 1u << 4,
    ssMiddle = 1u << 5,
};

enum class TMouseButton { mbLeft, mbRight, mbMiddle };

// Virtual-key code of a Qt key event; 0 when the key has none.
WORD VirtualKey(const QKeyEvent& e);
TShiftState ShiftState(const QKeyEvent& e);
TShiftState ShiftState(const QMouseEvent& e);
TMouseButton MouseButton(const QMouseEvent& e);
// The cp1251 character a key event types, from text(); false when it types none that cp1251 has.
bool KeyChar(const QKeyEvent& e, char& ch);

// Delivers a key event as the Windows framework does: keyDown first, which may set its key to 0
// to mark it handled; then, unless it was handled, keyPress with the typed character, if any.
void DispatchKey(const QKeyEvent& e,
                 const std::function<void(WORD& key, TShiftState shift)>& keyDown,
                 const std::function<void(char& key)>& keyPress);

} // namespace platform
