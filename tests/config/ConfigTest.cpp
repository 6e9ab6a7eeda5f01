#include "config/Config.h"
#include "app/Globals.h"
#include "app/Reports.h"
#include "app/Strings.h"
#include "platform/Exception.h"
#include "platform/Text.h"
#include "support/MessageRecorder.h"
#include "support/Sandbox.h"

#include <QDir>
#include <gtest/gtest.h>
#include <unistd.h>

using platform::Utf8ToAnsi;

namespace {

const std::string Key = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo";

TConfig Settings() {
    return TConfig{TConfig::TSettingsOnly{}};
}

// Runs a test in a current folder of its own, since some settings are relative to it.
class TCurrentDir {
public:
    explicit TCurrentDir(const std::string& dir) : Saved(QDir::currentPath()) {
        QDir().mkpath(QString::fromStdString(dir));
        EXPECT_TRUE(QDir::setCurrent(QString::fromStdString(dir)));
    }
    ~TCurrentDir() { QDir::setCurrent(Saved); }

private:
    QString Saved;
};

} // namespace

TEST(ConfigSources, WithNoSourceAllDefaultsStandAndThePathIsEmpty) {
    TSandbox box;
    TCurrentDir cwd(box.Root() + "cwd");
    const TConfig c = Settings();
    EXPECT_EQ(c.VarLib, "CD");
    EXPECT_EQ(c.VarLibLength, -1);
    EXPECT_EQ(c.FFF, "=");
    EXPECT_EQ(c.Rule, "CD");
    EXPECT_EQ(c.Result, "");
    EXPECT_EQ(c.FixedClass, "");
    EXPECT_EQ(c.FixedTheme, -1);
    EXPECT_EQ(c.Path, "");
    EXPECT_EQ(c.GetResultFile(), "Zarvo.rez");
    EXPECT_EQ(c.GetVarLibFile(), box.ContentDir() + "Zarvo.ff");
    EXPECT_EQ(c.GetRuleFile(), box.ContentDir() + "Zarvo.frf");
    EXPECT_EQ(c.GetFontFile(), box.ContentDir() + "Zarvo.fff");
    box.Write("cwd/Zarvo.fff", "%xSTOP");
    EXPECT_EQ(c.GetFontFile(), "Zarvo.fff") << "an empty program folder is the current one";
    EXPECT_FALSE(box.Exists("registry.reg")) << "reading creates no registry";
}

TEST(ConfigSources, WindowsFileWithBothLibrariesSettlesAloneButThePathComesFromTheRegistry) {
    TSandbox box;
    box.Write("windows/Config.fcf", "[Files]\r\nVarLib=/lib/Zarvo.ff\r\nRule=/lib/Zarvo.frf\r\n"
                                    "FFF=CD\r\nResult=class5.rez\r\n");
    box.WriteRegistry(Key + "\\Files\\Rule]\r\n\"Rule\"=\"/reg/Zarvo.frf\"\r\n" + Key +
                      "\\Path]\r\n\"Path\"=\"" + box.Root() + "program/\"\r\n");
    box.Write("content/Config.fcf", "[Files]\r\nRule=/content/Zarvo.frf\r\n");
    box.Write("program/x", "");
    const std::string registryBefore = box.Read("registry.reg");

    const TConfig c = Settings();
    EXPECT_EQ(c.VarLib, "/lib/Zarvo.ff");
    EXPECT_EQ(c.Rule, "/lib/Zarvo.frf");
    EXPECT_EQ(c.FFF, "CD");
    EXPECT_EQ(c.Result, "class5.rez");
    EXPECT_EQ(c.Path, box.Root() + "program/");
    EXPECT_EQ(c.GetResultFile(), box.Root() + "program/class5.rez");
    EXPECT_EQ(c.GetFontFile(), box.ContentDir() + "Zarvo.fff");
    EXPECT_EQ(box.Read("registry.reg"), registryBefore) << "no keys were created";
}

TEST(ConfigSources, AnEqualsMarkerInTheWindowsFileHandsOnToTheRegistry) {
    TSandbox box;
    box.Write("windows/Config.fcf", "[Files]\nVarLib=/lib/Zarvo.ff\nRule==\nFFF=/lib/Zarvo.fff\n"
                                    "Result=mine.rez\n");
    box.WriteRegistry(Key + "\\Files\\Rule]\n\"Rule\"=\"/reg/Zarvo.frf\"\n" + Key +
                      "\\Files\\FFF]\n\"FFF\"=\"/reg/Zarvo.fff\"\n" + Key +
                      "\\Files\\Result]\n\"Result\"=\"reg.rez\"\n" + Key +
                      "\\Files\\VarLib]\n\"VarLib\"=\"/reg/Zarvo.ff\"\n");
    box.Write("content/Config.fcf", "[Global]\nPath=" + box.Root() + "\n");

    const TConfig c = Settings();
    EXPECT_EQ(c.Rule, "/reg/Zarvo.frf");
    EXPECT_EQ(c.VarLib, "/lib/Zarvo.ff") << "a full name is not replaced";
    EXPECT_EQ(c.FFF, "/lib/Zarvo.fff");
    EXPECT_EQ(c.Result, "mine.rez");
    EXPECT_EQ(c.Path, box.ContentDir()) << "the content directory's file is not read";

    // An empty Result and FFF = "CD" are taken from the registry; so is a missing VarLib.
    box.Write("windows/Config.fcf", "[Files]\nRule==\nFFF=CD\nResult=\n");
    const TConfig d = Settings();
    EXPECT_EQ(d.Result, "reg.rez");
    EXPECT_EQ(d.FFF, "/reg/Zarvo.fff");
    EXPECT_EQ(d.VarLib, "/reg/Zarvo.ff");
    EXPECT_EQ(d.Rule, "/reg/Zarvo.frf");
}

TEST(ConfigSources, ReadingTheRegistryCreatesThreeMissingKeysUnlessItCannotWrite) {
    TSandbox box;
    box.WriteRegistry(Key + "]\r\n");
    const TConfig c = Settings();
    EXPECT_EQ(c.VarLib, "CD");
    EXPECT_EQ(c.Rule, "CD");
    EXPECT_EQ(c.FFF, "=");
    EXPECT_EQ(c.Result, "");
    const std::string reg = box.Read("registry.reg");
    for (const char* k : {"Files\\Result]", "Files\\Rule]", "Files\\FFF]"})
        EXPECT_NE(reg.find(Key + "\\" + k), std::string::npos) << k << "\n" << reg;
    EXPECT_EQ(reg.find("Files\\VarLib"), std::string::npos);

    TSandbox readOnly;
    readOnly.WriteRegistry(Key + "\\Files\\Rule]\r\n\"Rule\"=\"/reg/Zarvo.frf\"\r\n");
    const std::string before = readOnly.Read("registry.reg");
    ASSERT_EQ(::chmod(readOnly.RegistryFile().c_str(), 0444), 0);
    const TConfig r = Settings();
    EXPECT_EQ(r.Rule, "/reg/Zarvo.frf") << "existing keys are still read";
    EXPECT_EQ(readOnly.Read("registry.reg"), before);
    EXPECT_EQ(Recorder().Pending(), 0u);
}

TEST(ConfigSources, ContentDirectoryFileIsTheLastSource) {
    TSandbox box;
    box.Write("program/x", "");
    box.Write("content/Config.fcf", "[files]\nvarlib=/c/Zarvo.ff\nRULE=/c/Zarvo.frf\nFFF=CD\n"
                                    "Result=\"c.rez\"\n[VarLib]\nLength=5\nTheme=2\n[Global]\n"
                                    "Path=" +
                                        box.Root() + "program/\n");
    TConfig c = Settings();
    EXPECT_EQ(c.VarLib, "/c/Zarvo.ff");
    EXPECT_EQ(c.Rule, "/c/Zarvo.frf");
    EXPECT_EQ(c.FFF, "CD");
    EXPECT_EQ(c.Result, "c.rez");
    EXPECT_EQ(c.VarLibLength, -1) << "the fixed selection is read from the Windows file only";
    EXPECT_EQ(c.FixedTheme, -1);
    EXPECT_EQ(c.Path, box.Root() + "program/");

    box.Write("content/Config.fcf", "[Global]\nPath=" + box.Root() + "nowhere/\n");
    EXPECT_EQ(Settings().Path, box.ContentDir()) << "a folder that does not exist is replaced";
    box.Write("content/Config.fcf", "[Global]\nPath=" + box.Root() + "program\n");
    EXPECT_EQ(Settings().Path, box.Root() + "program/") << "joined to names, so it ends in /";
}

TEST(ConfigSources, AnUnreadableContentFileIsALibraryFailure) {
    TSandbox box;
    // Reading /proc/self/mem from its start fails although the file exists.
    ASSERT_EQ(::symlink("/proc/self/mem", (box.ContentDir() + "Config.fcf").c_str()), 0);
    // The whole constructor, its errors shown as start-up shows them: the language is then not
    // loaded.
    TConfig c(AskLanguage);
    ShowReadErrors(c.Errors);
    auto boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), 1u) << "no language question after the failure";
    EXPECT_EQ(boxes[0].Caption, "Error!");
    EXPECT_EQ(boxes[0].Text, "The exercise library cannot be read!");
    EXPECT_EQ(boxes[0].Flags, 16u);
    EXPECT_TRUE(GlobalFailure);
    EXPECT_EQ(c.Language, "");
}

TEST(ConfigFixedSelection, HonouredOnlyForTheLibraryTheSizeWasRecordedFor) {
    TSandbox box;
    const std::string lib = box.Write("lib/Zarvo.ff", std::string(12, 'x'));
    auto windowsFile = [&](const std::string& length) {
        box.Write("windows/Config.fcf", "[Files]\nVarLib=" + lib + "\n[VarLib]\nLength=" + length +
                                            "\nTheme=0x3\nClass=" + Utf8ToAnsi("5 класс") + "\n");
    };
    windowsFile("12");
    TConfig c = Settings();
    EXPECT_TRUE(c.VarLibUnchanged());
    EXPECT_EQ(c.GetVarLibSize(), 12);
    EXPECT_EQ(c.FixedTheme, 3);
    EXPECT_EQ(c.FixedClass, Utf8ToAnsi("5 класс"));
    for (const char* changed : {"0", "13", "-1", "twelve"}) {
        windowsFile(changed);
        c = Settings();
        EXPECT_FALSE(c.VarLibUnchanged()) << changed;
        EXPECT_EQ(c.FixedTheme, -1) << changed;
        EXPECT_EQ(c.FixedClass, "") << changed;
    }
}

TEST(ConfigFixedSelection, TheMarkerCDNamesAFileCalledCD) {
    TSandbox box;
    TCurrentDir cwd(box.Root() + "cwd");
    box.Write("content/Zarvo.ff", std::string(12, 'x'));
    box.Write("windows/Config.fcf", "[Files]\nVarLib=CD\n[VarLib]\nLength=12\nTheme=1\n");
    EXPECT_EQ(Settings().FixedTheme, -1);
    box.Write("cwd/CD", std::string(12, 'y'));
    EXPECT_EQ(Settings().FixedTheme, 1);
}

TEST(ConfigFixedSelection, RegistryFillsOnlyWhatTheWindowsFileLeftOpen) {
    TSandbox box;
    const std::string lib = box.Write("lib/Zarvo.ff", std::string(12, 'x'));
    box.Write("windows/Config.fcf",
              "[Files]\nVarLib=" + lib + "\nRule==\n[VarLib]\nLength=12\nTheme=5\n");
    auto registry = [&](const char* length) {
        box.WriteRegistry(Key + "\\Files\\VarLib\\Length]\n\"Length\"=dword:" + length + "\n" +
                          Key + "\\Files\\VarLib\\Theme]\n\"Theme\"=dword:00000002\n" + Key +
                          "\\Files\\VarLib\\Class]\n\"Class\"=\"7\"\n");
    };
    registry("0000000c");
    TConfig c = Settings();
    EXPECT_EQ(c.FixedTheme, 5);
    EXPECT_EQ(c.FixedClass, "7");
    registry("00000063");
    c = Settings();
    EXPECT_EQ(c.VarLibLength, 99);
    EXPECT_EQ(c.FixedTheme, -1) << "the registry's length says the library changed";
    EXPECT_EQ(c.FixedClass, "");
}

TEST(ConfigRegistryErrors, AValueOfTheWrongTypeIsNeverTakenAndEndsConstruction) {
    TSandbox box;
    const std::string lib = box.Write("lib/Zarvo.ff", std::string(12, 'x'));
    const std::string varLib = Key + "\\Files\\VarLib]\n\"VarLib\"=\"" + lib + "\"\n";
    struct TCase {
        const char* Name;
        std::string Body;
    };
    const TCase cases[] = {
        {"Length as text", Key + "\\Files\\VarLib\\Length]\n\"Length\"=\"12\"\n"},
        {"Length missing", Key + "\\Files\\VarLib\\Length]\n"},
        {"Theme as text", varLib + Key + "\\Files\\VarLib\\Length]\n\"Length\"=dword:c\n" + Key +
                              "\\Files\\VarLib\\Theme]\n\"Theme\"=\"2\"\n"},
        {"Class as number", varLib + Key + "\\Files\\VarLib\\Length]\n\"Length\"=dword:c\n" + Key +
                                "\\Files\\VarLib\\Class]\n\"Class\"=dword:7\n"},
        {"Rule as number", Key + "\\Files\\Rule]\n\"Rule\"=dword:1\n"},
        {"Result as binary", Key + "\\Files\\Result]\n\"Result\"=hex:41,00\n"},
    };
    for (const TCase& t : cases) {
        box.WriteRegistry(t.Body);
        EXPECT_THROW(Settings(), ERegistryError) << t.Name;
    }
    // A Theme that is never read because the library changed does no harm.
    box.WriteRegistry(varLib + Key + "\\Files\\VarLib\\Length]\n\"Length\"=dword:d\n" + Key +
                      "\\Files\\VarLib\\Theme]\n\"Theme\"=\"2\"\n");
    EXPECT_NO_THROW(Settings());
}

TEST(ConfigRegistryErrors, APathThatCannotBeReadAbortsWithItsOwnMessage) {
    TSandbox box;
    box.WriteRegistry(Key + "\\Path]\n\"Path\"=dword:00000001\n");
    try {
        Settings();
        ADD_FAILURE() << "no exception";
    } catch (const EAbort& e) {
        EXPECT_STREQ(e.what(), "Something's happened in TConfig.SetPath!");
    }
}

TEST(ConfigPath, RegistryPathMustNameAFolder) {
    TSandbox box;
    box.WriteRegistry(Key + "\\Path]\n\"Path\"=\"" + box.Root() + "gone/\"\n");
    EXPECT_EQ(Settings().Path, box.ContentDir());
    box.WriteRegistry(Key + "\\Path]\n\"Path\"=\"\"\n");
    EXPECT_EQ(Settings().Path, box.ContentDir());
    box.Write("prog/Zarvo.fff", "%xSTOP");
    box.WriteRegistry(Key + "\\Path]\n\"Path\"=\"" + box.Root() + "PROG\\\\\"\n");
    const TConfig c = Settings();
    EXPECT_EQ(c.Path, box.Root() + "PROG\\") << "kept as written when it resolves";
    EXPECT_EQ(c.GetFontFile(), box.Root() + "PROG\\Zarvo.fff") << "FFF = \"=\" finds it there";
}

TEST(ScreenSize, ClassBoundaries) {
    EXPECT_EQ(ScreenSizeClass(640, 480), 1);
    EXPECT_EQ(ScreenSizeClass(799, 600), 1);
    EXPECT_EQ(ScreenSizeClass(800, 599), 1);
    EXPECT_EQ(ScreenSizeClass(800, 600), 2);
    EXPECT_EQ(ScreenSizeClass(1023, 768), 2);
    EXPECT_EQ(ScreenSizeClass(1024, 767), 2);
    EXPECT_EQ(ScreenSizeClass(1024, 768), 3);
    EXPECT_EQ(ScreenSizeClass(1279, 960), 3);
    EXPECT_EQ(ScreenSizeClass(1280, 959), 3);
    EXPECT_EQ(ScreenSizeClass(1280, 960), 4);
    EXPECT_EQ(ScreenSizeClass(1920, 1080), 4);

    TSandbox box({1280, 1024, 24});
    EXPECT_EQ(Settings().ScreenSize, 4);
}
