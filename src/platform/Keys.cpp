#include "platform/Keys.h"

#include "platform/Text.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace platform {

namespace {

// Virtual keys of the punctuation keys of a US keyboard.
enum : WORD {
    VK_OEM_1 = 0xBA, // ;:
    VK_OEM_PLUS = 0xBB,
    VK_OEM_COMMA = 0xBC,
    VK_OEM_MINUS = 0xBD,
    VK_OEM_PERIOD = 0xBE,
    VK_OEM_2 = 0xBF, // /?
    VK_OEM_3 = 0xC0, // `~
    VK_OEM_4 = 0xDB, // [{
    VK_OEM_5 = 0xDC, // \|
    VK_OEM_6 = 0xDD, // ]}
    VK_OEM_7 = 0xDE, // '"
};

// The Russian ЙЦУКЕН layout: the virtual key of the Latin key under each Cyrillic letter,
// indexed from А (U+0410) to Я (U+042F).
constexpr WORD CyrillicKeys[32] = {
    'F', VK_OEM_COMMA, 'D',      'U', 'L', 'T',      VK_OEM_1,      'P', // А Б В Г Д Е Ж З
    'B', 'Q',          'R',      'K', 'V', 'Y',      'J',           'G', // И Й К Л М Н О П
    'H', 'C',          'N',      'E', 'A', VK_OEM_4, 'W',           'X', // Р С Т У Ф Х Ц Ч
    'I', 'O',          VK_OEM_6, 'S', 'M', VK_OEM_7, VK_OEM_PERIOD, 'Z', // Ш Щ Ъ Ы Ь Э Ю Я
};

WORD CyrillicKey(char32_t ch) {
    if (ch >= 0x0430 && ch <= 0x044F)
        ch -= 0x20;
    if (ch == 0x0401 || ch == 0x0451)
        return VK_OEM_3; // Ё
    if (ch >= 0x0410 && ch <= 0x042F)
        return CyrillicKeys[ch - 0x0410];
    return 0;
}

TShiftState FromModifiers(Qt::KeyboardModifiers m) {
    TShiftState s = 0;
    if (m & Qt::ShiftModifier)
        s |= ssShift;
    if (m & Qt::AltModifier)
        s |= ssAlt;
    if (m & Qt::ControlModifier)
        s |= ssCtrl;
    return s;
}

TShiftState FromButtons(Qt::MouseButtons b) {
    TShiftState s = 0;
    if (b & Qt::LeftButton)
        s |= ssLeft;
    if (b & Qt::RightButton)
        s |= ssRight;
    if (b & Qt::MiddleButton)
        s |= ssMiddle;
    return s;
}

} // namespace

WORD VirtualKey(const QKeyEvent& e) {
    int k = e.key();
    bool keypad = e.modifiers() & Qt::KeypadModifier;
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return static_cast<WORD>(keypad ? VK_NUMPAD0 + (k - Qt::Key_0) : k);
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return static_cast<WORD>(k);
    if (k >= Qt::Key_F1 && k <= Qt::Key_F12)
        return static_cast<WORD>(VK_F1 + (k - Qt::Key_F1));
    if (WORD cyr = CyrillicKey(static_cast<char32_t>(k)))
        return cyr;
    switch (k) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return VK_RETURN;
    case Qt::Key_Backspace:
        return VK_BACK;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return VK_TAB;
    case Qt::Key_Escape:
        return VK_ESCAPE;
    case Qt::Key_Delete:
        return VK_DELETE;
    case Qt::Key_Insert:
        return VK_INSERT;
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_Home:
        return VK_HOME;
    case Qt::Key_End:
        return VK_END;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    case Qt::Key_Space:
        return VK_SPACE;
    case Qt::Key_Shift:
        return VK_SHIFT;
    case Qt::Key_Control:
        return VK_CONTROL;
    case Qt::Key_Alt:
        return VK_MENU;
    case Qt::Key_Pause:
        return VK_PAUSE;
    case Qt::Key_CapsLock:
        return VK_CAPITAL;
    case Qt::Key_Asterisk:
        return keypad ? VK_MULTIPLY : 0;
    case Qt::Key_Plus:
        return keypad ? WORD(VK_ADD) : WORD(VK_OEM_PLUS);
    case Qt::Key_Equal:
        return VK_OEM_PLUS;
    case Qt::Key_Minus:
        return keypad ? WORD(VK_SUBTRACT) : WORD(VK_OEM_MINUS);
    case Qt::Key_Period:
        return keypad ? WORD(VK_DECIMAL) : WORD(VK_OEM_PERIOD);
    case Qt::Key_Slash:
        return keypad ? WORD(VK_DIVIDE) : WORD(VK_OEM_2);
    case Qt::Key_Comma:
        return VK_OEM_COMMA;
    case Qt::Key_Semicolon:
    case Qt::Key_Colon:
        return VK_OEM_1;
    case Qt::Key_QuoteLeft:
    case Qt::Key_AsciiTilde:
        return VK_OEM_3;
    case Qt::Key_BracketLeft:
    case Qt::Key_BraceLeft:
        return VK_OEM_4;
    case Qt::Key_Backslash:
    case Qt::Key_Bar:
        return VK_OEM_5;
    case Qt::Key_BracketRight:
    case Qt::Key_BraceRight:
        return VK_OEM_6;
    case Qt::Key_Apostrophe:
    case Qt::Key_QuoteDbl:
        return VK_OEM_7;
    default:
        return 0;
    }
}

TShiftState ShiftState(const QKeyEvent& e) {
    return FromModifiers(e.modifiers()) | FromButtons(QGuiApplication::mouseButtons());
}

TShiftState ShiftState(const QMouseEvent& e) {
    return FromModifiers(e.modifiers()) | FromButtons(e.buttons());
}

TMouseButton MouseButton(const QMouseEvent& e) {
    switch (e.button()) {
    case Qt::RightButton:
        return TMouseButton::mbRight;
    case Qt::MiddleButton:
        return TMouseButton::mbMiddle;
    default:
        return TMouseButton::mbLeft;
    }
}

bool KeyChar(const QKeyEvent& e, char& ch) {
    QString text = e.text();
    if (text.isEmpty()) {
        // Some platforms give these keys no text; Windows types a character for each.
        switch (e.key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            ch = '\r';
            return true;
        case Qt::Key_Backspace:
            ch = '\b';
            return true;
        case Qt::Key_Escape:
            ch = '\x1B';
            return true;
        case Qt::Key_Tab:
            ch = '\t';
            return true;
        default:
            return false;
        }
    }
    // X11 gives Delete the text DEL; Windows types nothing for that key.
    if (e.key() == Qt::Key_Delete)
        return false;
    char32_t first = text.at(0).unicode();
    if (text.at(0).isHighSurrogate() && text.size() > 1)
        first = QChar::surrogateToUcs4(text.at(0), text.at(1));
    return CharToAnsi(first, ch);
}

void DispatchKey(const QKeyEvent& e,
                 const std::function<void(WORD& key, TShiftState shift)>& keyDown,
                 const std::function<void(char& key)>& keyPress) {
    // A key without a virtual key (a letter of some other layout) still types its character.
    WORD key = VirtualKey(e);
    if (key != 0) {
        keyDown(key, ShiftState(e));
        if (key == 0)
            return;
    }
    char ch;
    if (KeyChar(e, ch))
        keyPress(ch);
}

} // namespace platform
