#include "setup/RegistrySetup.h"

#include "platform/Registry.h"
#include "support/Sandbox.h"

#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>

namespace {

const char* const Header = "Windows Registry Editor Version 5.00\r\n\r\n";

std::string Read(const std::string& key, const std::string& name) {
    platform::TRegistry reg;
    return reg.OpenKey(key, false) ? reg.ReadString(name) : std::string("<no key>");
}

int RunTool(std::vector<std::string> args, std::string* out = nullptr, std::string* err = nullptr) {
    std::ostringstream o, e;
    int rc = SetupRegistryMain(args, o, e);
    if (out)
        *out = o.str();
    if (err)
        *err = e.str();
    return rc;
}

} // namespace

// What a reinstall meets: a file the Uninstaller emptied, one that another product shares, one
// an administrator changed. Each keeps what it had and gains only what is missing.
TEST(RegistrySetup, AddsMissingValuesAndKeepsEverythingElse) {
    TSandbox box;
    box.Write("registry.reg",
              std::string(Header) +
                  "; lab server settings\r\n"
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Other]\r\n"
                  "\"Path\"=\"/opt/other/\"\r\n\r\n"
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\Result]\r\n\r\n"
                  "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Language]\r\n"
                  "\"Language\"=\"English\"\r\n");
    EXPECT_EQ(AddRegistryString("\\SOFTWARE\\Orvisoft\\Zarvo\\Path", "Path", "/var/lib/zarvo/"),
              TSetupResult::Written);
    EXPECT_EQ(
        AddRegistryString("\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\Result", "Result", "Zarvo.rez"),
        TSetupResult::Written);
    EXPECT_EQ(AddRegistryString("\\SOFTWARE\\Orvisoft\\Zarvo\\Language", "Language", "Russian"),
              TSetupResult::Unchanged);

    EXPECT_EQ(Read("\\SOFTWARE\\Orvisoft\\Zarvo\\Path", "Path"), "/var/lib/zarvo/");
    EXPECT_EQ(Read("\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\Result", "Result"), "Zarvo.rez");
    EXPECT_EQ(Read("\\SOFTWARE\\Orvisoft\\Zarvo\\Language", "Language"), "English");
    EXPECT_EQ(Read("\\SOFTWARE\\Orvisoft\\Other", "Path"), "/opt/other/");
    std::string text = box.Read("registry.reg");
    EXPECT_NE(text.find("; lab server settings\r\n"), std::string::npos);
    EXPECT_EQ(text.rfind(Header, 0), 0u);
}

TEST(RegistrySetup, AHeaderOnlyFileAndAMissingFileBothGetTheValues) {
    TSandbox box;
    box.Write("registry.reg", Header);
    EXPECT_EQ(AddRegistryString("\\SOFTWARE\\Orvisoft\\Zarvo\\Path", "Path", "/srv/z/"),
              TSetupResult::Written);
    EXPECT_EQ(Read("\\SOFTWARE\\Orvisoft\\Zarvo\\Path", "Path"), "/srv/z/");

    box.SetEnv("ZARVO_REGISTRY", box.Root() + "etc/new.reg");
    ::mkdir((box.Root() + "etc").c_str(), 0755);
    EXPECT_EQ(AddRegistryString("\\SOFTWARE\\Orvisoft\\Zarvo\\Path", "Path", "/srv/z/"),
              TSetupResult::Written);
    EXPECT_EQ(Read("\\SOFTWARE\\Orvisoft\\Zarvo\\Path", "Path"), "/srv/z/");
}

TEST(RegistrySetup, AnEmptyValueCountsAsMissing) {
    TSandbox box;
    box.WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Path]\r\n\"Path\"=\"\"\r\n");
    EXPECT_EQ(AddRegistryString("\\SOFTWARE\\Orvisoft\\Zarvo\\Path", "Path", "/var/lib/zarvo/"),
              TSetupResult::Written);
    EXPECT_EQ(Read("\\SOFTWARE\\Orvisoft\\Zarvo\\Path", "Path"), "/var/lib/zarvo/");
}

TEST(RegistrySetup, ARegistryThatHasEverythingIsNotRewritten) {
    TSandbox box;
    box.WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Package]\r\n"
                      "\"Package\"=\"deb\"\r\n");
    std::string before = box.Read("registry.reg");
    EXPECT_EQ(SetRegistryString("\\SOFTWARE\\Orvisoft\\Zarvo\\Package", "Package", "deb"),
              TSetupResult::Unchanged);
    EXPECT_EQ(box.Read("registry.reg"), before);
    EXPECT_EQ(SetRegistryString("\\SOFTWARE\\Orvisoft\\Zarvo\\Package", "Package", "rpm"),
              TSetupResult::Written);
    EXPECT_EQ(Read("\\SOFTWARE\\Orvisoft\\Zarvo\\Package", "Package"), "rpm");
    EXPECT_EQ(DeleteRegistryKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Package"), TSetupResult::Written);
    EXPECT_EQ(DeleteRegistryKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Package"), TSetupResult::Unchanged);
}

// A file that is no registry file is never overwritten: the installer must say so, not report
// success and leave a trainer that cannot save.
TEST(RegistrySetup, AFileWithoutHeaderIsAFailureAndStaysAsItWas) {
    TSandbox box;
    box.Write("registry.reg", "Path=/var/lib/zarvo\n");
    std::string err;
    EXPECT_EQ(RunTool({"--registry", box.RegistryFile(), "add", "\\SOFTWARE\\Orvisoft\\Zarvo\\Path",
                       "Path", "/var/lib/zarvo/"},
                      nullptr, &err),
              1);
    EXPECT_NE(err.find("not a registry file"), std::string::npos) << err;
    EXPECT_EQ(box.Read("registry.reg"), "Path=/var/lib/zarvo\n");
}

TEST(RegistrySetup, CommandLine) {
    TSandbox box;
    box.Write("other.reg", Header);
    const std::string file = box.Root() + "other.reg";
    EXPECT_EQ(
        RunTool({"--registry", file, "add", "SOFTWARE\\Orvisoft\\Zarvo\\Path", "Path", "/папка/"}),
        0);
    std::string out;
    EXPECT_EQ(
        RunTool({"--registry", file, "get", "\\SOFTWARE\\Orvisoft\\Zarvo\\Path", "Path"}, &out), 0);
    EXPECT_EQ(out, "/папка/\n");
    EXPECT_EQ(RunTool({"--registry", file, "get", "\\SOFTWARE\\Orvisoft\\None", "X"}, &out), 0);
    EXPECT_EQ(out, "\n");
    EXPECT_EQ(RunTool({"--registry", file, "delete", "\\SOFTWARE\\Orvisoft\\Zarvo"}), 0);
    EXPECT_EQ(
        RunTool({"--registry", file, "get", "\\SOFTWARE\\Orvisoft\\Zarvo\\Path", "Path"}, &out), 0);
    EXPECT_EQ(out, "\n");

    EXPECT_EQ(RunTool({"add", "K", "N"}), 2);
    EXPECT_EQ(RunTool({"remove", "K"}), 2);
    EXPECT_EQ(RunTool({}), 2);
    // A value of another type is the administrator's to fix, not to be overwritten.
    box.Write("typed.reg", std::string(Header) +
                               "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Path]\r\n"
                               "\"Path\"=dword:00000001\r\n");
    EXPECT_EQ(RunTool({"--registry", box.Root() + "typed.reg", "add",
                       "\\SOFTWARE\\Orvisoft\\Zarvo\\Path", "Path", "/x/"}),
              1);
}
