#include "screens/VariantChoice.h"

#include <gtest/gtest.h>

using namespace platform;

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

TEST(VariantChoice, ItemsAreDrawnFromTheLibrary) {
    TVariantChoice c(Sample());
    EXPECT_EQ(c.DrawnItemText(TChoiceListKind::Class, 2), "5a");
    EXPECT_EQ(c.DrawnItemText(TChoiceListKind::Theme, 0), "") << "no class chosen yet";
    c.ChooseClass(0);
    c.ChooseTheme(0);
    EXPECT_EQ(c.DrawnItemText(TChoiceListKind::Theme, 1), "2. U");
    EXPECT_EQ(c.DrawnItemText(TChoiceListKind::Variant, 0), "3. V");
    EXPECT_EQ(c.DrawnItemText(TChoiceListKind::Variant, 2), "");
    EXPECT_EQ(c.DrawnItemText(TChoiceListKind::Class, -1), "");
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

TEST(VariantChoice, AnEmptyLibraryOffersNothing) {
    TVariantChoice c{TChoiceLibrary{}};
    EXPECT_TRUE(c.ClassList().Items.empty());
    c.ChooseClass(0);
    c.ChooseTheme(0);
    c.ChooseVariant(0);
    ExpectEnabled(c, {true, false, false, false}, "empty library");
    EXPECT_EQ(c.SelectedClass(), -1);
    TVariantChoice none;
    EXPECT_FALSE(none.GoEnabled());
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

TEST(VariantChoice, NameFieldShowsPlaceholderNameAndBlinkingCaret) {
    EXPECT_EQ(NameFieldText("", false, true, "Enter"), "Enter");
    EXPECT_EQ(NameFieldText("", true, true, "Enter"), "_");
    EXPECT_EQ(NameFieldText("", true, false, "Enter"), "");
    EXPECT_EQ(NameFieldText("Ann", true, true, "Enter"), "Ann_");
    EXPECT_EQ(NameFieldText("Ann", false, true, "Enter"), "Ann");

    // A field of 602 pixels holds 50 cells of 12 from x = 1; a longer name scrolls left so that
    // its end and the caret stay in view.
    EXPECT_EQ(NameTextLeft(50, 12, 602), 1);
    EXPECT_EQ(NameTextLeft(51, 12, 602), 602 - 612);
    EXPECT_EQ(NameTextLeft(201, 12, 602), 602 - 201 * 12);
}

TEST(VariantChoice, Keys) {
    EXPECT_EQ(KeyDownAction(VK_ESCAPE), TSelectionAction::Close);
    EXPECT_EQ(KeyDownAction(VK_UP), TSelectionAction::OpenList);
    EXPECT_EQ(KeyDownAction(VK_DOWN), TSelectionAction::OpenList);
    EXPECT_EQ(KeyDownAction(VK_TAB), TSelectionAction::None);
    EXPECT_EQ(KeyDownAction(VK_RETURN), TSelectionAction::None) << "Enter is a key press";

    // name focused, Go enabled
    EXPECT_EQ(KeyPressAction('\r', true, true), TSelectionAction::Go);
    EXPECT_EQ(KeyPressAction('\r', false, false), TSelectionAction::OpenList);
    EXPECT_EQ(KeyPressAction('\r', true, false), TSelectionAction::OpenList);
    EXPECT_EQ(KeyPressAction('\b', true, false), TSelectionAction::DeleteLetter);
    EXPECT_EQ(KeyPressAction('\xe0', true, true), TSelectionAction::AddLetter);
    EXPECT_EQ(KeyPressAction('\xe0', false, true), TSelectionAction::OpenList);
    EXPECT_EQ(KeyPressAction('7', true, false), TSelectionAction::Ignore);
    EXPECT_EQ(KeyPressAction('!', true, false), TSelectionAction::Ignore);
    // A digit on a list is the list's own (it picks the item starting with it); Tab moves on.
    EXPECT_EQ(KeyPressAction('7', false, false), TSelectionAction::None);
    EXPECT_EQ(KeyPressAction('\t', true, false), TSelectionAction::None);
}

TEST(VariantChoice, ColumnGrowsWithTheFontAndIsCentred) {
    const TSelectionLayout small = SelectionLayout(12, 18);
    EXPECT_EQ(small.DesignClientWidth, 612);
    EXPECT_EQ(small.DesignWidth, 602);
    EXPECT_EQ(small.DesignHeight, 338);
    EXPECT_EQ(small.ItemHeight, 22);
    EXPECT_EQ(small.GoWidth, 600);
    EXPECT_EQ(small.GoHeight, 33);
    EXPECT_EQ(small.GoLeft(), 1);
    // Each control 4 below its label, each label 16 below the control above it.
    EXPECT_EQ(small.NameTop, 8 + 18 + 4);
    EXPECT_EQ(small.ClassLabelTop, small.NameTop + small.NameHeight + 16);
    EXPECT_EQ(small.VariantTop, small.VariantLabelTop + 18 + 4);
    EXPECT_EQ(small.GoTop, small.VariantTop + small.ListHeight + 4);
    EXPECT_LE(small.Bottom, small.DesignHeight) << "the column fits the design client area";

    EXPECT_EQ(BlockOffset(1024, small.DesignWidth), 211);
    EXPECT_EQ(BlockOffset(768, small.DesignHeight), 215);
    EXPECT_EQ(BlockOffset(601, 602), 0) << "rounded toward zero";
    EXPECT_EQ(BlockOffset(598, 602), -2);

    // 1920 x 1080 gets the 24 x 36 small font: 50 cells across, and the column on the screen.
    const TSelectionLayout large = SelectionLayout(24, 36);
    EXPECT_EQ(large.DesignWidth, 51 * 24 - 10);
    EXPECT_EQ(large.ItemHeight, 40);
    const int left = BlockOffset(1920, large.DesignWidth), top = BlockOffset(1080, 338);
    EXPECT_GE(left, 0);
    EXPECT_LE(top + large.Bottom, 1080 - 19) << "clear of the status line";
}
