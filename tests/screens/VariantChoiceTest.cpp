#include "screens/VariantChoice.h"

#include <gtest/gtest.h>

namespace {

// Class "5" with themes T (1, variants 3 "V" and 7 "W") and U (2, none); class "6" without
// themes; class "5a" with one theme numbered 1.
TChoiceLibrary Sample() {
    return {{"5", {{1, "T", {{3, "V"}, {7, "W"}}}, {2, "U", {}}}},
            {"6", {}},
            {"5a", {{1, "Z", {{1, "Only"}}}}}};
}

struct TEnabled {
    bool Class, Theme, Variant, Go;
};

void ExpectEnabled(const TVariantChoice& c, TEnabled e, const char* situation) {
    SCOPED_TRACE(situation);
    EXPECT_EQ(c.ClassList().Enabled, e.Class);
    EXPECT_EQ(c.ThemeList().Enabled, e.Theme);
    EXPECT_EQ(c.VariantList().Enabled, e.Variant);
    EXPECT_EQ(c.GoEnabled(), e.Go);
}

} // namespace

TEST(VariantChoice, EachListOpensOnlyWhenTheOneBeforeItHasAChoice) {
    TVariantChoice c(Sample());
    EXPECT_EQ(c.ClassList().Items, (std::vector<std::string>{"5", "6", "5a"}));
    ExpectEnabled(c, {true, false, false, false}, "created");
    EXPECT_EQ(c.DrawnItemText(TChoiceListKind::Theme, 0), "") << "no class chosen yet";

    c.ChooseClass(0);
    ExpectEnabled(c, {true, true, false, false}, "a class chosen");
    EXPECT_EQ(c.ThemeList().Items, (std::vector<std::string>{"5.1. T", "5.2. U"}));
    EXPECT_EQ(c.ThemeList().ItemIndex, -1);

    c.ChooseTheme(0);
    ExpectEnabled(c, {true, true, true, false}, "a theme chosen");
    EXPECT_EQ(c.VariantList().Items, (std::vector<std::string>{"3.V", "7.W"}));

    c.ChooseVariant(1);
    ExpectEnabled(c, {true, true, true, true}, "a variant chosen");
    EXPECT_EQ(c.SelectedClass(), 0);
    EXPECT_EQ(c.SelectedTheme(), 0);
    EXPECT_EQ(c.SelectedVariant(), 1);
    // What the pupil record gets.
    EXPECT_EQ(c.ClassList().Text(), "5");
    EXPECT_EQ(c.ThemeList().Text(), "5.1. T");
    EXPECT_EQ(c.VariantList().Text(), "7.W");
    // What the lists show is built from the library instead.
    EXPECT_EQ(c.DrawnItemText(TChoiceListKind::Theme, 1), "2. U");
    EXPECT_EQ(c.DrawnItemText(TChoiceListKind::Variant, 0), "3. V");
    EXPECT_EQ(c.DrawnItemText(TChoiceListKind::Variant, 2), "");

    // The same class again keeps what was chosen below it.
    c.ChooseClass(0);
    ExpectEnabled(c, {true, true, true, true}, "the same class again");
    EXPECT_EQ(c.VariantList().Text(), "7.W");

    // Another theme empties the variants and switches Go off.
    c.ChooseTheme(1);
    ExpectEnabled(c, {true, true, true, false}, "another theme");
    EXPECT_TRUE(c.VariantList().Items.empty()) << "a theme without variants: empty, enabled";
    EXPECT_EQ(c.VariantList().Text(), "");

    // Another class empties both lists below it.
    c.ChooseVariant(-1);
    c.ChooseClass(1);
    ExpectEnabled(c, {true, true, false, false}, "a class without themes");
    EXPECT_TRUE(c.ThemeList().Items.empty());
    EXPECT_TRUE(c.VariantList().Items.empty());
    EXPECT_EQ(c.SelectedClass(), 1);
}

TEST(VariantChoice, FixedClassAndThemeAreChosenAndLocked) {
    {
        TVariantChoice c(Sample());
        EXPECT_FALSE(c.ApplyFixedClass("7"));
        EXPECT_FALSE(c.ApplyFixedClass("5A")) << "names are compared exactly";
        EXPECT_FALSE(c.ApplyFixedClass(""));
        ExpectEnabled(c, {true, false, false, false}, "unmatched fixed class");
        EXPECT_EQ(c.ClassList().ItemIndex, -1);
    }
    {
        TVariantChoice c(Sample());
        EXPECT_TRUE(c.ApplyFixedClass("5a"));
        ExpectEnabled(c, {false, true, false, false}, "fixed class found");
        EXPECT_EQ(c.ClassList().ItemIndex, 2);
        EXPECT_EQ(c.SelectedClass(), 2);
    }
    {
        TVariantChoice c(Sample(), 2);
        EXPECT_TRUE(c.ApplyFixedClass("5"));
        ExpectEnabled(c, {false, false, true, false}, "fixed class and theme found");
        EXPECT_EQ(c.ThemeList().ItemIndex, 1);
        EXPECT_EQ(c.SelectedTheme(), 1);
        EXPECT_EQ(c.ThemeList().Text(), "5.2. U");
    }
    {
        // A fixed theme without a fixed class applies to every class that has it.
        TVariantChoice c(Sample(), 2);
        c.ChooseClass(2);
        ExpectEnabled(c, {true, true, false, false}, "class without the fixed theme");
        c.ChooseClass(0);
        ExpectEnabled(c, {true, false, true, false}, "class with the fixed theme");
    }
}

TEST(VariantChoice, NameCharacters) {
    int accepted = 0;
    for (int b = 0; b < 256; ++b)
        accepted += IsNameChar(static_cast<char>(b));
    // Space, " and ', 4 of 44..47, 3 of 58..60, 62 and 63, 29 of 65..93, 31 of 96..126, Ё, ё and
    // the 64 letters А..я.
    EXPECT_EQ(accepted, 138);
    for (char c : std::string(" \"',-./:;<>?AZ[\\]`az{|}~\xa8\xb8\xc0\xff"))
        EXPECT_TRUE(IsNameChar(c)) << int(static_cast<unsigned char>(c));
    for (char c : std::string("0123456789!()_@=#+^\x7f\xa7\xbf\t\r\b"))
        EXPECT_FALSE(IsNameChar(c)) << int(static_cast<unsigned char>(c));
}
