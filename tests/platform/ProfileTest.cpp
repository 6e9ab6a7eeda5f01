#include "platform/Profile.h"
#include "support/ChildProcess.h"
#include "support/Sandbox.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(IniFile, NamesIgnoreCaseAndValuesAreTrimmedAndUnquoted) {
    const TIniFile ini = TIniFile::FromText("\xEF\xBB\xBF[Files]\r\n"
                                            "  VarLib  =  C:\\Lib\\Zarvo.ff  \r\n"
                                            "Quoted=\"  blanks kept  \"\r\n"
                                            "Inner=\"a\"b\"\r\n"
                                            "Lone=\"\r\n"
                                            "Half=\"open\r\n"
                                            "Empty=\r\n"
                                            "Eq=a=b\r\n"
                                            "\tTabbed\t=\tx\t\r\n"
                                            "VARLIB=second definition\r\n"
                                            "[ zarvo_RUSSIAN ]\n"
                                            "Title=\xC7\xE0\xF0\xE2\xEE\n");
    EXPECT_EQ(ini.ReadString("files", "varlib", "-"), "C:\\Lib\\Zarvo.ff")
        << "the first definition wins; a byte-order mark does not hide the section";
    EXPECT_EQ(ini.ReadString("Files", "Quoted", "-"), "  blanks kept  ");
    EXPECT_EQ(ini.ReadString("Files", "Inner", "-"), "a\"b") << "one pair of quotes only";
    EXPECT_EQ(ini.ReadString("Files", "Lone", "-"), "\"");
    EXPECT_EQ(ini.ReadString("Files", "Half", "-"), "\"open");
    EXPECT_EQ(ini.ReadString("Files", "Eq", "-"), "a=b");
    EXPECT_EQ(ini.ReadString("Files", "Tabbed", "-"), "x");
    EXPECT_EQ(ini.ReadString("Zarvo_Russian", "TITLE", "-"), "\xC7\xE0\xF0\xE2\xEE");

    // Present but empty is not missing.
    EXPECT_TRUE(ini.ValueExists("Files", "Empty"));
    EXPECT_EQ(ini.ReadString("Files", "Empty", "default"), "");
    EXPECT_FALSE(ini.ValueExists("Files", "Nothing"));
    EXPECT_EQ(ini.ReadString("Files", "Nothing", "default"), "default");
    EXPECT_EQ(ini.ReadString("Other", "VarLib", "default"), "default");
}

TEST(IniFile, MalformedLinesAreSkipped) {
    const TIniFile ini = TIniFile::FromText("Orphan=before any section\n"
                                            "[Global\n"
                                            "no equals sign\n"
                                            "=no key\n"
                                            "; Path=commented out\n"
                                            "Path=/opt/zarvo/\n"
                                            "[Global]\n"
                                            "Later=joined\n");
    EXPECT_FALSE(ini.SectionExists(""));
    EXPECT_EQ(ini.ReadString("Global", "Path", "-"), "/opt/zarvo/")
        << "an unclosed header still opens its section";
    EXPECT_EQ(ini.ReadString("Global", "Later", "-"), "joined") << "a repeated section is one";
    EXPECT_FALSE(ini.ValueExists("Global", "no equals sign"));
    EXPECT_FALSE(ini.ValueExists("Global", "; Path"));
    EXPECT_FALSE(ini.ValueExists("Global", ""));
}

TEST(IniFile, LongValuesAreCutTo2047Characters) {
    const TIniFile ini = TIniFile::FromText("[S]\nK=" + std::string(3000, 'x') + "\n");
    EXPECT_EQ(ini.ReadString("S", "K", "").size(), 2047u);
}

TEST(IniFile, IntegersAreDecimalOrHexadecimal) {
    const TIniFile ini = TIniFile::FromText("[VarLib]\nLength=123456\nHex=0x1F\nHEX2=0XfF\n"
                                            "Neg=-7\nMin=-2147483648\nBig=2147483648\n"
                                            "Junk=12a\nBlank=\nPrefixOnly=0x\n");
    EXPECT_EQ(ini.ReadInteger("VarLib", "Length", -1), 123456);
    EXPECT_EQ(ini.ReadInteger("VarLib", "Hex", -1), 31);
    EXPECT_EQ(ini.ReadInteger("VarLib", "Hex2", -1), 255);
    EXPECT_EQ(ini.ReadInteger("VarLib", "Neg", -1), -7);
    EXPECT_EQ(ini.ReadInteger("VarLib", "Min", -1), INT32_MIN);
    for (const char* key : {"Big", "Junk", "Blank", "PrefixOnly", "Missing"})
        EXPECT_EQ(ini.ReadInteger("VarLib", key, -1), -1) << key;
}

TEST(IniFile, AMissingFileReadsAsEmpty) {
    TSandbox box;
    const TIniFile missing(box.Root() + "none.fcf");
    EXPECT_FALSE(missing.Loaded());
    EXPECT_EQ(missing.ReadString("Files", "VarLib", "CD"), "CD");

    box.Write("windows/CONFIG.FCF", "[Files]\nVarLib=x\n");
    const TIniFile found(box.WinDir() + "Config.fcf");
    EXPECT_TRUE(found.Loaded()) << "the name is resolved without regard to case";
    EXPECT_EQ(found.ReadString("Files", "VarLib", ""), "x");
}

TEST(IniFile, ManySectionsReadInLinearTime) {
    // 100,000 sections (3.4 MB) took minutes when every section name was compared with every
    // earlier one; the child has half a minute, which a linear reader needs a fraction of.
    std::string text;
    for (int i = 0; i < 100000; ++i)
        text += "[Section" + std::to_string(i) + "]\r\nKey=value" + std::to_string(i) + "\r\n";
    text += "[section0]\r\nKey=later\r\nOther=added\r\n";
    EXPECT_EQ(InChild([&] {
                  const TIniFile ini = TIniFile::FromText(text);
                  // The first section of a name keeps its entries and gains the later ones.
                  return (ini.ReadString("SECTION0", "key", "") == "value0" &&
                          ini.ReadString("Section0", "Other", "") == "added" &&
                          ini.ReadString("section99999", "KEY", "") == "value99999")
                             ? 0
                             : 1;
              }),
              0);
}
