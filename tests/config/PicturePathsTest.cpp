#include "app/Globals.h"
#include "app/Strings.h"
#include "config/Config.h"
#include "support/Sandbox.h"

#include <gtest/gtest.h>

namespace {
TConfig MakeConfig(const TSandbox& box, std::uint8_t screenSize) {
    TConfig c{TConfig::TSettingsOnly{}};
    c.Path = box.Root() + "program/";
    c.ScreenSize = screenSize;
    return c;
}
} // namespace

TEST(PicturePaths, ProgramDirectoryFirstThenContentDirectory) {
    TSandbox box;
    PictureFolder = "RFPF\\";
    const TConfig c = MakeConfig(box, 2);
    EXPECT_EQ(c.GetLayPicture(), ContentDir + "RFPF\\lay2.fpf");
    box.Write("program/RFPF/lay2.fpf", "x");
    EXPECT_EQ(c.GetLayPicture(), c.Path + "RFPF\\lay2.fpf");
    EXPECT_EQ(c.GetIntroPicture(), ContentDir + "RFPF\\intro2.fpf");
    EXPECT_EQ(c.GetHelpFile(), ContentDir + "RFPF\\help.txt");
    PictureFolder.clear();
}

TEST(PicturePaths, ButtonFileNames) {
    EXPECT_EQ(ButtonFileName(5, false), "0005.fbf");
    EXPECT_EQ(ButtonFileName(42, true), "1042.fbf");
    EXPECT_EQ(ButtonFileName(184, false), "0184.fbf");
    EXPECT_EQ(ButtonFileName(0, false), "0.fbf");
    EXPECT_EQ(ButtonFileName(1000, true), "1.fbf");
}

TEST(PicturePaths, AnswerCharacterButtons) {
    EXPECT_EQ(SymbolButtonNumber('\xE0'), 1);  // а
    EXPECT_EQ(SymbolButtonNumber('\xE5'), 6);  // е
    EXPECT_EQ(SymbolButtonNumber('\xE6'), 8);  // ж
    EXPECT_EQ(SymbolButtonNumber('\xFF'), 33); // я
    EXPECT_EQ(SymbolButtonNumber('\xC0'), 34); // А
    EXPECT_EQ(SymbolButtonNumber('\xC6'), 41); // Ж
    EXPECT_EQ(SymbolButtonNumber('\xDF'), 66); // Я
    EXPECT_EQ(SymbolButtonNumber('\xA8'), 168);
    EXPECT_EQ(SymbolButtonNumber('\xB8'), 184);
    EXPECT_EQ(SymbolButtonNumber('?'), 72);
    EXPECT_EQ(SymbolButtonNumber('"'), 83);

    TSandbox box;
    const TConfig c = MakeConfig(box, 1);
    EXPECT_EQ(c.GetSymbolButtonFile(',', true), ContentDir + "1067.fbf");
    EXPECT_THROW(c.GetSymbolButtonFile('z', false), EWrongButtonSymbol);
    EXPECT_THROW(c.GetSymbolButtonFile('0', false), EWrongButtonSymbol);
}
