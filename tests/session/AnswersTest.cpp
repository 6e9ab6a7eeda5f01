#include "session/Answers.h"
#include "platform/Text.h"
#include "session/AnswerButtons.h"

#include <gtest/gtest.h>

namespace {

// cp1251 from UTF-8, for the Cyrillic of the cases.
char C(const char* utf8) {
    const std::string s = platform::Utf8ToAnsi(utf8);
    EXPECT_EQ(s.size(), 1u) << utf8;
    return s.empty() ? 0 : s[0];
}
std::string S(const char* utf8) {
    return platform::Utf8ToAnsi(utf8);
}

// The answer a key chooses at position `pos` of `text` with the two alternatives.
int Typed(char key, const std::string& text, int pos, char a1, char a2 = 0) {
    return TypedAnswer(key, text, pos, a1, a2);
}

} // namespace

TEST(Answers, CheckPointKinds) {
    // A sign that is both makes a punctuation check point, never a yo one.
    EXPECT_TRUE(IsPunctuationCheckPoint('?', C("ё"), 0));
    EXPECT_FALSE(IsYoCheckPoint('?', C("ё"), 0));
    EXPECT_TRUE(IsYoCheckPoint(C("е"), C("ё"), 0));
    EXPECT_FALSE(IsPunctuationCheckPoint('!', '@', 0));
    EXPECT_FALSE(IsYoCheckPoint(C("е"), C("и"), 0));
}

TEST(Answers, LatinLayoutGivesCyrillicLetters) {
    EXPECT_EQ(TranslateKey('q', false, false), C("й"));
    EXPECT_EQ(TranslateKey('.', false, false), C("ю"));
    EXPECT_EQ(TranslateKey('Q', false, false), C("Й"));
    EXPECT_EQ(TranslateKey('"', false, false), C("Э"));
    EXPECT_EQ(TranslateKey('>', false, false), C("Ю"));
    EXPECT_EQ(TranslateKey('`', false, false), '`');
    // Already Cyrillic (the Russian layout switched on), digits, space and "@" pass unchanged.
    for (char c : {C("ж"), '5', ' ', '@'})
        EXPECT_EQ(TranslateKey(c, false, false), c);
}

TEST(Answers, SpellingCheckPointInEitherLayout) {
    const std::string text = S("Бер_за");
    // The text holds the right answer "е" at 4; "и" is the wrong one.
    std::string t = text;
    t[3] = C("е");
    EXPECT_EQ(Typed('t', t, 4, C("и")), 1);
    EXPECT_EQ(Typed('b', t, 4, C("и")), 2);
    EXPECT_EQ(Typed(C("е"), t, 4, C("и")), 1);
    // A capital typed with Shift matches the small answer.
    EXPECT_EQ(Typed('T', t, 4, C("и")), 1);
    EXPECT_EQ(Typed(C("И"), t, 4, C("и")), 2);
    EXPECT_EQ(Typed('z', t, 4, C("и")), 0);
}

TEST(Answers, AlternativesDifferingOnlyInCaseAreComparedExactly) {
    // Right "Н", alternatives "н" and "н" (the same letter in both, as such check points store it).
    const std::string t = S("Нева");
    EXPECT_EQ(Typed(C("Н"), t, 1, C("н"), C("н")), 1);
    EXPECT_EQ(Typed(C("н"), t, 1, C("н"), C("н")), 2);
    EXPECT_EQ(Typed('Y', t, 1, C("н"), C("н")), 1);
    EXPECT_EQ(Typed('y', t, 1, C("н"), C("н")), 2);
}

TEST(Answers, PunctuationShortcuts) {
    // Right ",", alternatives ":" and "@".
    const std::string t = "a,b";
    EXPECT_EQ(Typed('6', t, 2, ':', '@'), 2);
    EXPECT_EQ(Typed('<', t, 2, ':', '@'), 1);
    EXPECT_EQ(Typed(',', t, 2, ':', '@'), 1);
    EXPECT_EQ(Typed('@', t, 2, ':', '@'), 3);
    EXPECT_EQ(Typed('b', t, 2, ':', '@'), 0);
    EXPECT_EQ(Typed(':', t, 2, ':', '@'), 2);
    // "!" and "@" make no punctuation check point: "1" is not translated.
    const std::string e = "a!";
    EXPECT_EQ(Typed('1', e, 2, '@'), 0);
    EXPECT_EQ(Typed('!', e, 2, '@'), 1);
    // A space answer is typed with the space bar.
    EXPECT_EQ(Typed(' ', "a-b", 2, ' ', '@'), 2);
}

TEST(Answers, YoKeys) {
    std::string t = S("ёж");
    for (char key : {'`', '~', '\\', '|', C("ё"), C("Ё")})
        EXPECT_EQ(Typed(key, t, 1, C("е")), 1) << key;
    EXPECT_EQ(Typed('t', t, 1, C("е")), 2);
    t = S("еж");
    EXPECT_EQ(Typed('`', t, 1, C("ё")), 2);
}

TEST(Answers, DistinctWrongAnswers) {
    auto d = DistinctAnswers('a', 'b', 'c');
    EXPECT_EQ(d.AlternativeCount, 2);
    d = DistinctAnswers('a', 'a', 'c');
    EXPECT_EQ(d.AlternativeCount, 1);
    EXPECT_EQ(d.Alternative1, 'c');
    d = DistinctAnswers('a', 'b', 0);
    EXPECT_EQ(d.AlternativeCount, 1);
    EXPECT_EQ(d.Alternative1, 'b');
    d = DistinctAnswers('a', 0, 'a');
    EXPECT_EQ(d.AlternativeCount, 0);
    d = DistinctAnswers('a', 'b', 'b');
    EXPECT_EQ(d.AlternativeCount, 1);
}

TEST(AnswerButtons, DealAndPlace) {
    // One wrong answer: the right one left or right as the random source says.
    EXPECT_EQ(DealButtonAnswers(1, [](int, int) { return 1; }), (TButtonAnswers{1, 2, 0}));
    EXPECT_EQ(DealButtonAnswers(1, [](int, int hi) { return hi; }), (TButtonAnswers{2, 1, 0}));
    // Two: the second draw repeats until it differs; the third is what is left.
    int calls = 0;
    const int draws[] = {2, 2, 2, 3};
    TButtonAnswers a = DealButtonAnswers(2, [&](int lo, int hi) {
        EXPECT_EQ(lo, 1);
        EXPECT_EQ(hi, 3);
        return draws[calls++];
    });
    EXPECT_EQ(a, (TButtonAnswers{2, 3, 1}));
    EXPECT_EQ(calls, 4);
    // A source stuck on one value still gives three different answers, and returns.
    a = DealButtonAnswers(2, [](int, int) { return 3; });
    EXPECT_EQ(a[0] + a[1] + a[2], 6);
    EXPECT_NE(a[0], a[1]);

    const std::array<int, 3> w{70, 70, 70};
    auto one = AnswerButtonLefts(1, 300, w);
    EXPECT_EQ(one[0] + 70 + 16, one[1]);
    EXPECT_EQ(one[0] + 70 + 8, 300);
    auto two = AnswerButtonLefts(2, 300, w);
    EXPECT_EQ(two[1] + 35, 300);
    EXPECT_EQ(two[0] + 70 + 16, two[1]);
    EXPECT_EQ(two[1] + 70 + 16, two[2]);
}

TEST(AnswerButtons, Faces) {
    // "@" next to a space answer merges; the space answer writes apart.
    EXPECT_EQ(FaceOfAnswer('@', ' ', 0, false).Number, MergeFace);
    EXPECT_EQ(FaceOfAnswer('@', ' ', 0, false).Hint, TAnswerHint::Merge);
    EXPECT_EQ(FaceOfAnswer(' ', '@', 0, false).Number, ApartFace);
    EXPECT_EQ(FaceOfAnswer(' ', '@', 0, false).Hint, TAnswerHint::Apart);
    // With a hyphen: merge when it is a hyphen, the plain face when it stands alone (a dash).
    EXPECT_EQ(FaceOfAnswer('@', '-', 0, false).Number, MergeFace);
    EXPECT_EQ(FaceOfAnswer('@', '-', ' ', true).Number, MergeFace);
    EXPECT_EQ(FaceOfAnswer('@', '-', 0, true).Number, AnswerFace);
    EXPECT_EQ(FaceOfAnswer(' ', '-', 0, true).Number, AnswerFace);
    EXPECT_EQ(FaceOfAnswer('@', ',', 0, false).Number, AnswerFace);
    EXPECT_EQ(FaceOfAnswer(',', '@', 0, false), (TButtonFace{0, ',', TAnswerHint::Answer}));

    EXPECT_TRUE(IsStandalone("a - b", 3, '-', '@', 0));
    EXPECT_FALSE(IsStandalone("a-b", 2, '-', '@', 0));
    EXPECT_FALSE(IsStandalone("a - b", 3, ',', '@', 0));
    EXPECT_FALSE(IsStandalone("- b", 1, '-', '@', 0));
    EXPECT_FALSE(IsStandalone("a -", 3, '-', '@', 0));
}
