#include "session/Answers.h"

#include "platform/Text.h"

#include <array>
#include <cstring>

namespace {

constexpr char YoSmall = '\xB8';

// The Russian layout over the US one, key by key.
constexpr std::string_view LayoutKeys = "qwertyuiop[]asdfghjkl;'zxcvbnm,."
                                        "QWERTYUIOP{}ASDFGHJKL:\"ZXCVBNM<>";
constexpr std::string_view LayoutLetters =
    "\xE9\xF6\xF3\xEA\xE5\xED\xE3\xF8\xF9\xE7\xF5\xFA\xF4\xFB\xE2\xE0\xEF\xF0\xEE\xEB\xE4\xE6"
    "\xFD\xFF\xF7\xF1\xEC\xE8\xF2\xFC\xE1\xFE"
    "\xC9\xD6\xD3\xCA\xC5\xCD\xC3\xD8\xD9\xC7\xD5\xDA\xD4\xDB\xC2\xC0\xCF\xD0\xCE\xCB\xC4\xC6"
    "\xDD\xDF\xD7\xD1\xCC\xC8\xD2\xDC\xC1\xDE";
static_assert(LayoutKeys.size() == 64 && LayoutLetters.size() == 64);

constexpr std::string_view ShortcutKeys = "/012469<>";
constexpr std::string_view ShortcutSigns = "?)!\";:(,.";

bool OneOf(char ch, std::string_view set) {
    return set.find(ch) != std::string_view::npos;
}

} // namespace

bool IsPunctuationSign(char ch) {
    return ch != 0 && OneOf(ch, ",.;:?-\"/");
}

bool IsYoSign(char ch) {
    return ch != 0 && OneOf(ch, "\xA8\xB8`~\\/|?()");
}

bool IsPunctuationCheckPoint(char right, char alternative1, char alternative2) {
    return IsPunctuationSign(right) || IsPunctuationSign(alternative1) ||
           IsPunctuationSign(alternative2);
}

bool IsYoCheckPoint(char right, char alternative1, char alternative2) {
    return !IsPunctuationCheckPoint(right, alternative1, alternative2) &&
           (IsYoSign(right) || IsYoSign(alternative1) || IsYoSign(alternative2));
}

char TranslateKey(char ch, bool punct, bool yo) {
    char r = ch;
    bool changed = false;
    if (punct && !yo) {
        if (std::size_t i = ShortcutKeys.find(ch); ch != 0 && i != std::string_view::npos) {
            r = ShortcutSigns[i];
            changed = true;
        }
    }
    if (yo && IsYoSign(ch))
        return YoSmall;
    if (!changed && (!punct || !IsPunctuationSign(ch))) {
        if (std::size_t i = LayoutKeys.find(ch); ch != 0 && i != std::string_view::npos)
            r = LayoutLetters[i];
    }
    return r;
}

int TypedAnswer(char ch, std::string_view text, int position, char alternative1,
                char alternative2) {
    const char right = position >= 1 && position <= static_cast<int>(text.size())
                           ? text[static_cast<std::size_t>(position - 1)]
                           : 0;
    const bool punct = IsPunctuationCheckPoint(right, alternative1, alternative2);
    const bool yo = IsYoCheckPoint(right, alternative1, alternative2);
    char a1 = platform::AnsiLowerChar(alternative1);
    char a2 = platform::AnsiLowerChar(alternative2);
    char t = platform::AnsiLowerChar(right);
    char d = TranslateKey(ch, punct, yo);
    if (a1 == a2) {
        a1 = alternative1;
        a2 = alternative2;
        t = right;
    } else {
        // Without case the typed key is compared in small letters too, so that a capital typed
        // with Shift still finds a small answer.
        d = platform::AnsiLowerChar(d);
    }
    if (d == 0)
        return 0;
    if (t == d)
        return 1;
    if (d == a1)
        return 2;
    if (d == a2)
        return 3;
    return 0;
}
