#include "platform/Text.h"

#include <array>

namespace platform {

namespace {

// Upper half of code page 1251 as Windows defines it; 0 marks the unassigned byte 0x98.
constexpr std::array<char16_t, 64> HighHalf = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90
    0x0000, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457, // B8
};

char16_t HighChar(unsigned char b) {
    if (b >= 0xC0)
        return static_cast<char16_t>(0x0410 + (b - 0xC0));
    return HighHalf[b - 0x80];
}

// Letter pairs of the upper half outside А-Я / а-я, as Windows maps their case.
struct TCasePair {
    unsigned char Upper, Lower;
};
constexpr TCasePair CasePairs[] = {
    {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D},
    {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4},
    {0xA8, 0xB8}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE},
};

struct TCaseTables {
    std::array<unsigned char, 256> Upper{}, Lower{};
    TCaseTables() {
        for (int i = 0; i < 256; ++i)
            Upper[i] = Lower[i] = static_cast<unsigned char>(i);
        for (int c = 'a'; c <= 'z'; ++c) {
            Upper[c] = static_cast<unsigned char>(c - 32);
            Lower[c - 32] = static_cast<unsigned char>(c);
        }
        for (int c = 0xE0; c <= 0xFF; ++c) {
            Upper[c] = static_cast<unsigned char>(c - 32);
            Lower[c - 32] = static_cast<unsigned char>(c);
        }
        for (const TCasePair& p : CasePairs) {
            Upper[p.Lower] = p.Upper;
            Lower[p.Upper] = p.Lower;
        }
    }
};

const TCaseTables& CaseTables() {
    static const TCaseTables tables;
    return tables;
}

} // namespace

char32_t AnsiToChar(char ch) {
    auto b = static_cast<unsigned char>(ch);
    if (b < 0x80)
        return b;
    char16_t u = HighChar(b);
    return u ? u : 0xFFFD;
}

bool CharToAnsi(char32_t ch, char& out) {
    if (ch < 0x80) {
        out = static_cast<char>(ch);
        return true;
    }
    if (ch >= 0x0410 && ch <= 0x044F) {
        out = static_cast<char>(0xC0 + (ch - 0x0410));
        return true;
    }
    for (std::size_t i = 0; i < HighHalf.size(); ++i) {
        if (HighHalf[i] != 0 && HighHalf[i] == ch) {
            out = static_cast<char>(0x80 + i);
            return true;
        }
    }
    return false;
}

QString FromAnsi(std::string_view s) {
    QString out;
    out.reserve(static_cast<qsizetype>(s.size()));
    for (char c : s)
        out.append(QChar(static_cast<char16_t>(AnsiToChar(c))));
    return out;
}

std::string ToAnsi(const QString& s, bool* ok) {
    std::string out;
    out.reserve(static_cast<std::size_t>(s.size()));
    bool all = true;
    for (char32_t ch : s.toUcs4()) {
        char c;
        if (!CharToAnsi(ch, c)) {
            c = '?';
            all = false;
        }
        out.push_back(c);
    }
    if (ok)
        *ok = all;
    return out;
}

std::string AnsiToUtf8(std::string_view s) {
    QByteArray b = FromAnsi(s).toUtf8();
    return std::string(b.constData(), static_cast<std::size_t>(b.size()));
}

std::string Utf8ToAnsi(const std::string& s, bool* ok) {
    return ToAnsi(QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())), ok);
}

char AnsiUpperChar(char c) {
    return static_cast<char>(CaseTables().Upper[static_cast<unsigned char>(c)]);
}

char AnsiLowerChar(char c) {
    return static_cast<char>(CaseTables().Lower[static_cast<unsigned char>(c)]);
}

std::string AnsiUpperCase(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        c = AnsiUpperChar(c);
    return out;
}

std::string AnsiLowerCase(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        c = AnsiLowerChar(c);
    return out;
}

bool AnsiSameText(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (AnsiUpperChar(a[i]) != AnsiUpperChar(b[i]))
            return false;
    return true;
}

std::string Trim(const std::string& s) {
    return std::string(TrimView(s));
}

} // namespace platform
