#pragma once
// Code page 1251 text. Inside the program every text is a std::string of cp1251 bytes; Unicode
// appears only at the Qt boundary and in UTF-8 output of the tools.

#include <QList>
#include <QString>
#include <string>
#include <string_view>

namespace platform {

// cp1251 bytes to Unicode. Byte 0x98 is unassigned and becomes U+FFFD.
QString FromAnsi(std::string_view s);
// Unicode to cp1251 bytes. Characters cp1251 cannot hold become '?' and clear *ok.
std::string ToAnsi(const QString& s, bool* ok = nullptr);
// Same conversions for UTF-8 byte strings (files and command lines of the tools).
std::string AnsiToUtf8(std::string_view s);
std::string Utf8ToAnsi(const std::string& s, bool* ok = nullptr);

// One Unicode character to its cp1251 byte; false when cp1251 has no such character.
bool CharToAnsi(char32_t ch, char& out);
char32_t AnsiToChar(char ch);

// Case mapping by code page 1251 rules (Cyrillic letters and Ё/ё included), not the C locale.
char AnsiUpperChar(char c);
char AnsiLowerChar(char c);
std::string AnsiUpperCase(const std::string& s);
std::string AnsiLowerCase(const std::string& s);
// Case-insensitive equality by the rules above.
bool AnsiSameText(const std::string& a, const std::string& b);

// Blanks and control bytes (<= 32) removed at both ends, as the Windows run-time's Trim does.
std::string Trim(const std::string& s);
// The same without copying; inline, since the content readers trim every line they keep.
inline std::string_view TrimView(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && static_cast<unsigned char>(s[b]) <= 32)
        ++b;
    while (e > b && static_cast<unsigned char>(s[e - 1]) <= 32)
        --e;
    return s.substr(b, e - b);
}

} // namespace platform
