#include "platform/Text.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Cp1251, EveryAssignedByteRoundTripsThroughUnicode) {
    for (int b = 1; b < 256; ++b) {
        if (b == 0x98)
            continue;
        const std::string s(1, static_cast<char>(b));
        bool ok = false;
        EXPECT_EQ(ToAnsi(FromAnsi(s), &ok), s) << b;
        EXPECT_TRUE(ok) << b;
    }
    EXPECT_EQ(AnsiToUtf8("\xC0\xFF\xA8\xB8\xB9\x88"), "Ая\u0401\u0451\u2116\u20AC");
    EXPECT_EQ(FromAnsi("\x98").at(0).unicode(), 0xFFFD) << "0x98 is unassigned";
}

TEST(Cp1251, CharactersOutsideTheCodePageAreRejected) {
    bool ok = true;
    EXPECT_EQ(Utf8ToAnsi("a\u00E9b\U0001F600", &ok), "a?b?");
    EXPECT_FALSE(ok);
    char c;
    EXPECT_FALSE(CharToAnsi(0xFFFD, c)) << "nothing maps back to the unassigned byte";
    EXPECT_TRUE(CharToAnsi(0x0451, c));
    EXPECT_EQ(static_cast<unsigned char>(c), 0xB8);
}

TEST(Cp1251, CaseFollowsTheCodePageNotTheLocale) {
    const std::string lower = Utf8ToAnsi("абвгдеёжзийклмнопрстуфхцчшщъыьэюя ђѓљњќћџўјґєїіѕ");
    const std::string upper = Utf8ToAnsi("АБВГДЕЁЖЗИЙКЛМНОПРСТУФХЦЧШЩЪЫЬЭЮЯ ЂЃЉЊЌЋЏЎЈҐЄЇІЅ");
    EXPECT_EQ(AnsiUpperCase(lower), upper);
    EXPECT_EQ(AnsiLowerCase(upper), lower);
    EXPECT_EQ(AnsiUpperCase("Zarvo.flt 1-2"), "ZARVO.FLT 1-2");
    // Signs of the upper half have no case.
    const std::string signs = Utf8ToAnsi("«»№€µ§©");
    EXPECT_EQ(AnsiUpperCase(signs), signs);
    EXPECT_EQ(AnsiLowerCase(signs), signs);
    EXPECT_TRUE(AnsiSameText(Utf8ToAnsi("Класс Ёж"), Utf8ToAnsi("кЛАСС ёЖ")));
    EXPECT_FALSE(AnsiSameText("abc", "abcd"));
}

TEST(Cp1251, TrimRemovesBlanksAndControlBytes) {
    EXPECT_EQ(Trim(" \t\r\n\x01text with  inner\x1F \x7F"), "text with  inner\x1F \x7F");
    EXPECT_EQ(Trim("\x20\x20"), "");
    EXPECT_EQ(Trim("\xA0x\xA0"), "\xA0x\xA0") << "the no-break space is a character of its own";
}
