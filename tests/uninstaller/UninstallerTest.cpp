#include "Installation.h"
#include "support/MessageRecorder.h"
#include "uninstaller/SafeRemove.h"
#include "uninstaller/Target.h"

#include <QDir>
#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TUninstallTexts RussianTexts() {
    TUninstallTexts t;
    t.PictureFolder = PictureFolderFor("Russian");
    return t;
}

std::string Advice(const TUninstallTexts& t, const std::string& folder) {
    return t.strUninstallError1 + "\r\n" + t.strUninstallError2 + " " + folder;
}

mode_t Mode(const std::string& native) {
    struct stat st {};
    ::stat(native.c_str(), &st);
    return st.st_mode & 0777;
}

// Runs in another folder for the test and comes back.
class TWorkingFolder {
public:
    explicit TWorkingFolder(const std::string& dir) : Saved(QDir::currentPath()) {
        QDir::setCurrent(QString::fromStdString(dir));
    }
    ~TWorkingFolder() { QDir::setCurrent(Saved); }

private:
    QString Saved;
};

} // namespace

TEST(Uninstall, RemovesTheWholeInstallationAndTheProgressReaches23BeforeTheEnd) {
    TSandbox box;
    TInstallation inst(box, 12);
    TUninstallTexts texts = RussianTexts();
    TSystemTarget target;
    TProgressTrace trace;
    TUninstaller u(texts, target, &trace);

    EXPECT_TRUE(u.RunUninstall());

    // 5 for the system folder's file, 1 after log lines 0, 5 and 10, 10 for the folders, 5 for
    // the registry: 23, then the final 100.
    EXPECT_EQ(trace.Steps, (std::vector<int>{5, 6, 7, 8, 18, 23, 100}));
    EXPECT_FALSE(inst.Exists(box.WinDir() + "Config.fcf"));
    EXPECT_FALSE(inst.Exists(inst.Program() + "Zarvo.rez")) << "read-only, deleted all the same";
    for (const std::string& f : inst.Listed)
        EXPECT_FALSE(inst.Exists(f)) << f;
    EXPECT_FALSE(inst.Exists(inst.Program())) << "the emptied picture and program folders go";
    EXPECT_FALSE(inst.Exists(inst.Desktop() + "zarvo.desktop"));
    EXPECT_FALSE(inst.Exists(inst.Group())) << "both menu shortcuts and then their group";
    EXPECT_TRUE(inst.Exists(inst.Desktop())) << "the shell folders themselves stay";

    std::string reg = inst.Registry();
    EXPECT_EQ(reg.find("Orvisoft"), std::string::npos) << reg;
    EXPECT_EQ(reg.find("Uninstall\\Zarvo"), std::string::npos) << reg;
    EXPECT_TRUE(inst.RegistryHas("SOFTWARE\\Other\\Thing")) << "other software's keys stay";
    EXPECT_NE(reg.find("\"Keep\"=\"me\""), std::string::npos);
}

TEST(Uninstall, WhatTheLogDoesNotListKeepsItsFoldersWithoutAnError) {
    TSandbox box;
    TInstallation inst(box, 12);
    box.Write("prog/notes.txt", "the teacher's");
    box.Write("prog/RFPF/own.fpf", "a picture added later");
    inst.WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Other]\r\n");
    TUninstallTexts texts = RussianTexts();
    TSystemTarget target;
    TProgressTrace trace;

    EXPECT_TRUE(TUninstaller(texts, target, &trace).RunUninstall());

    EXPECT_EQ(trace.Steps.back(), 100);
    EXPECT_TRUE(inst.Exists(inst.Program() + "notes.txt"));
    EXPECT_TRUE(inst.Exists(inst.Program() + "RFPF/own.fpf"));
    EXPECT_FALSE(inst.Exists(inst.Listed[0])) << "listed files in the kept folder still go";
    // The maker key is shared: it stays while another product is under it.
    EXPECT_TRUE(inst.RegistryHas("SOFTWARE\\Orvisoft\\Other"));
    EXPECT_EQ(inst.Registry().find("Orvisoft\\Zarvo"), std::string::npos);
}

TEST(Uninstall, ListedLinksFoldersAndRelativeNamesNeverReachBeyondTheNames) {
    TSandbox box;
    TInstallation inst(box, 2);
    // Outside the installation: a read-only file and a folder with a file, both reached by links
    // that the installation listed, and a file in the folder the program runs in.
    std::string target = box.Write("elsewhere/precious.txt", "keep");
    ::chmod(target.c_str(), 0444);
    box.Write("elsewhere/dir/inner.txt", "keep");
    ASSERT_EQ(::symlink(target.c_str(), (inst.Program() + "link.txt").c_str()), 0);
    ASSERT_EQ(
        ::symlink((box.Root() + "elsewhere/dir").c_str(), (inst.Program() + "dirlink").c_str()), 0);
    box.Write("prog/data/kept.dat", "not listed");
    box.Write("cwd/victim.txt", "keep");
    std::string p = inst.Program();
    inst.WriteLog({p + "link.txt", p + "dirlink", p + "data", p + "data/", "", "victim.txt",
                   " " + p + "file1.dat", p + "dirlink/", inst.Listed[0]});
    TUninstallTexts texts = RussianTexts();
    TSystemTarget tgt;
    TWorkingFolder cwd(box.Root() + "cwd");

    EXPECT_FALSE(TUninstaller(texts, tgt, nullptr).RunUninstall()) << "names were refused";

    auto boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), 1u);
    for (const std::string& refused :
         {p + "data/", std::string("victim.txt"), " " + p + "file1.dat", p + "dirlink/"})
        EXPECT_NE(boxes[0].Text.find("\r\n" + refused + ": "), std::string::npos) << refused;
    EXPECT_FALSE(inst.Exists(p + "link.txt")) << "the link goes";
    EXPECT_EQ(box.Read("elsewhere/precious.txt"), "keep") << "its target stays";
    EXPECT_EQ(Mode(target), 0444u) << "and keeps its read-only attribute";
    EXPECT_FALSE(inst.Exists(p + "dirlink"));
    EXPECT_TRUE(box.Exists("elsewhere/dir/inner.txt"));
    EXPECT_TRUE(box.Exists("prog/data/kept.dat")) << "a listed folder keeps its contents";
    EXPECT_TRUE(box.Exists("cwd/victim.txt")) << "a relative line is refused";
    EXPECT_TRUE(box.Exists("prog/file1.dat")) << "lines are taken as they are, blanks included";
    EXPECT_FALSE(inst.Exists(inst.Listed[0]));
}

TEST(Uninstall, AnUnreadableLogGivesTheReinstallAdviceAndSkipsTheRest) {
    TSandbox box;
    TInstallation inst(box, 12);
    // Reading this file fails even for root.
    ::unlink((inst.Program() + "Uninstall.log").c_str());
    ASSERT_EQ(::symlink("/proc/self/mem", (inst.Program() + "Uninstall.log").c_str()), 0);
    TUninstallTexts texts = RussianTexts();
    TSystemTarget target;
    TProgressTrace trace;
    TUninstaller u(texts, target, &trace);

    EXPECT_FALSE(u.RunUninstall());

    auto boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, Advice(texts, inst.Program()));
    EXPECT_EQ(boxes[0].Caption, texts.Title);
    EXPECT_EQ(boxes[0].Flags, 0x10u);
    EXPECT_TRUE(u.QuitRequested);
    EXPECT_FALSE(u.ErrorDetail.empty());
    EXPECT_EQ(trace.Steps, std::vector<int>{5}) << "no final 100 after an error";
    EXPECT_FALSE(inst.Exists(inst.Program() + "Zarvo.rez")) << "the steps before it ran";
    EXPECT_TRUE(inst.Exists(inst.Listed[1]));
    EXPECT_TRUE(inst.RegistryHas("SOFTWARE\\Orvisoft\\Zarvo\\Path"));
    EXPECT_TRUE(inst.Exists(inst.Desktop() + "zarvo.desktop"));
}

TEST(Uninstall, AnUnobtainableShortcutFolderNamesTheLastFolderInTheAdvice) {
    TUninstallTexts texts = RussianTexts();
    {
        TSandbox box;
        TInstallation inst(box, 3);
        box.SetEnv("HOME", std::nullopt);
        box.SetEnv("XDG_DESKTOP_DIR", std::nullopt);
        box.SetEnv("XDG_DATA_HOME", std::nullopt);
        TSystemTarget target;
        TProgressTrace trace;
        EXPECT_FALSE(TUninstaller(texts, target, &trace).RunUninstall());
        auto boxes = Recorder().Take();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].Text, Advice(texts, inst.Program()));
        EXPECT_EQ(trace.Steps.back(), 21) << "the pie stays where the steps left it";
        EXPECT_TRUE(inst.Exists(inst.Group() + "zarvo.desktop"));
    }
    {
        // The desktop is known, the menu is not: the desktop folder is the one named.
        TSandbox box;
        TInstallation inst(box, 3);
        box.SetEnv("HOME", std::nullopt);
        box.SetEnv("XDG_DATA_HOME", "relative/is/not/a/place");
        TSystemTarget target;
        EXPECT_FALSE(TUninstaller(texts, target, nullptr).RunUninstall());
        auto boxes = Recorder().Take();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].Text, Advice(texts, inst.Desktop()));
        EXPECT_FALSE(inst.Exists(inst.Desktop() + "zarvo.desktop"));
        EXPECT_TRUE(inst.Exists(inst.Group() + "zarvo.desktop"));
    }
}

TEST(Uninstall, WithoutAProgramFolderTheFolderStepsAreSkipped) {
    TSandbox box;
    TInstallation inst(box, 2);
    box.WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\Result]\r\n"
                      "\"Result\"=\"Zarvo.rez\"\r\n");
    box.Write("cwd/Zarvo.rez", "someone else's");
    box.Write("cwd/Uninstall.log", box.Root() + "cwd/Zarvo.rez\r\n");
    TWorkingFolder cwd(box.Root() + "cwd");
    TUninstallTexts texts = RussianTexts();
    TSystemTarget target;
    TProgressTrace trace;

    EXPECT_TRUE(TUninstaller(texts, target, &trace).RunUninstall());

    EXPECT_EQ(trace.Steps, (std::vector<int>{5, 10, 100}));
    EXPECT_TRUE(box.Exists("cwd/Zarvo.rez")) << "a bare results name needs the program folder";
    EXPECT_TRUE(box.Exists("cwd/Uninstall.log"));
    EXPECT_TRUE(inst.Exists(inst.Listed[1]));
    EXPECT_FALSE(inst.Exists(box.WinDir() + "Config.fcf"));
    EXPECT_EQ(inst.Registry().find("Orvisoft"), std::string::npos);
}

TEST(Uninstall, ALongLogDoesNotFillThePieBeforeTheEnd) {
    TSandbox box;
    TInstallation inst(box, 1);
    std::vector<std::string> lines(600, inst.Program() + "missing.dat");
    inst.WriteLog(lines);
    TUninstallTexts texts = RussianTexts();
    TSystemTarget target;
    TProgressTrace trace;
    EXPECT_TRUE(TUninstaller(texts, target, &trace).RunUninstall());
    ASSERT_GE(trace.Steps.size(), 2u);
    EXPECT_EQ(trace.Steps[trace.Steps.size() - 2], 99);
    EXPECT_EQ(trace.Steps.back(), 100);
}

TEST(UninstallLog, LinesEndInCrLfOrLfAndKeepEverythingElse) {
    EXPECT_EQ(SplitLogLines("/a\n/b\n/c"), (std::vector<std::string>{"/a", "/b", "/c"}));
    EXPECT_EQ(SplitLogLines("/a\r\n\r\n /b \r\n"), (std::vector<std::string>{"/a", "", " /b "}));
    // In a CR LF log a bare LF belongs to the name: splitting there would name another file.
    EXPECT_EQ(SplitLogLines("/p/new\nline\r\n/p/b\r\n"),
              (std::vector<std::string>{"/p/new\nline", "/p/b"}));
    EXPECT_EQ(SplitLogLines("/a\r"), std::vector<std::string>{"/a\r"}) << "a lone CR ends nothing";
    EXPECT_TRUE(SplitLogLines("").empty());

    EXPECT_TRUE(IsListedPathUsable("/opt/zarvo/x"));
    EXPECT_TRUE(IsListedPathUsable("\\opt\\zarvo\\x"));
    for (const std::string& refused :
         {std::string(), std::string("C:\\ZARVO\\x"), std::string("/opt/zarvo/x\0/y", 15),
          std::string("/opt/zarvo/../../etc/passwd"), std::string("/opt/./zarvo/x"),
          std::string("/opt//zarvo/x"), std::string("/opt/zarvo/"), std::string("/"),
          std::string("/opt/zarvo/new\nline"), std::string("/opt/zarvo/tab\there")})
        EXPECT_FALSE(IsListedPathUsable(refused)) << refused;

    EXPECT_TRUE(IsInsideFolder("/opt/Zarvo/x", "/opt/zarvo/")) << "names ignore case";
    EXPECT_TRUE(IsInsideFolder("\\opt\\zarvo\\a\\b", "/opt/zarvo"));
    EXPECT_FALSE(IsInsideFolder("/opt/zarvo", "/opt/zarvo/"))
        << "the folder itself is no file of it";
    EXPECT_FALSE(IsInsideFolder("/opt/zarvo2/x", "/opt/zarvo/"));
    EXPECT_FALSE(IsInsideFolder("/opt/zarvo/../x", "/opt/zarvo/"));
    EXPECT_FALSE(IsInsideFolder("/etc/passwd", "/")) << "the root is no program folder";
}

TEST(UninstallLog, ShortcutNamesStayInsideTheirFolder) {
    EXPECT_TRUE(IsSafeRelativeName("Orvisoft\\Zarvo\\", true));
    for (const char* name : {"a/b", "..", "", "\\etc"})
        EXPECT_FALSE(IsSafeRelativeName(name, false)) << name;
    EXPECT_FALSE(IsSafeRelativeName("..\\..\\", true));
}

TEST(DryRun, ListsWhatWouldGoInStepOrderAndDeletesNothing) {
    TSandbox box;
    TInstallation inst(box, 2);
    box.Write("prog/RFPF/own.fpf", "keeps the picture folder and so the program folder");
    const std::string registryBefore = inst.Registry();
    TUninstallTexts texts = RussianTexts();
    std::ostringstream out;
    {
        TDryRunTarget target(out);
        EXPECT_TRUE(TUninstaller(texts, target, nullptr).RunUninstall());
    }
    const std::string p = inst.Program(), hkey = "HKEY_LOCAL_MACHINE\\SOFTWARE\\";
    EXPECT_EQ(out.str(),
              box.WinDir() + "Config.fcf\n" + hkey +
                  "Microsoft\\Windows\\CurrentVersion\\Uninstall\\Zarvo\n" + p + "Zarvo.rez\n" + p +
                  "RFPF/lay1.fpf\n" + p + "file1.dat\n" + p + "Uninstall.log\n" + hkey +
                  "Orvisoft\\Zarvo\\Files\\VarLib\\Length\n" + hkey +
                  "Orvisoft\\Zarvo\\Files\\VarLib\n" + hkey + "Orvisoft\\Zarvo\\Files\\Result\n" +
                  hkey + "Orvisoft\\Zarvo\\Files\n" + hkey + "Orvisoft\\Zarvo\\Path\n" + hkey +
                  "Orvisoft\\Zarvo\\Language\n" + hkey + "Orvisoft\\Zarvo\n" + hkey + "Orvisoft\n" +
                  inst.Desktop() + "zarvo.desktop\n" + inst.Group() + "zarvo.desktop\n" +
                  inst.Group() + "uninstall zarvo.desktop\n" + inst.Group() + "\n");
    EXPECT_EQ(inst.Registry(), registryBefore);
    EXPECT_EQ(std::getenv("ZARVO_REGISTRY"), box.RegistryFile())
        << "the registry is the real one again";
    for (const std::string& f : inst.Listed)
        EXPECT_TRUE(inst.Exists(f));
    EXPECT_TRUE(inst.Exists(inst.Program() + "Zarvo.rez"));
    EXPECT_TRUE(inst.Exists(inst.Group() + "zarvo.desktop"));
    EXPECT_TRUE(inst.Exists(box.WinDir() + "Config.fcf"));
}

TEST(DryRun, ListsEmptiedFoldersAndAReadOnlyRegistryAsTheRealRunWouldLeaveThem) {
    TSandbox box;
    TInstallation inst(box, 2);
    ASSERT_EQ(::chmod(box.RegistryFile().c_str(), 0444), 0);
    TUninstallTexts texts = RussianTexts();
    std::ostringstream out;
    {
        TDryRunTarget target(out);
        EXPECT_TRUE(TUninstaller(texts, target, nullptr).RunUninstall());
    }
    EXPECT_NE(out.str().find(inst.Program() + "RFPF/\n" + inst.Program() + "\n"), std::string::npos)
        << out.str();
    EXPECT_EQ(out.str().find("HKEY_LOCAL_MACHINE"), std::string::npos)
        << "a registry that cannot be written loses no key";

    // And the real run agrees.
    TSystemTarget real;
    EXPECT_TRUE(TUninstaller(texts, real, nullptr).RunUninstall());
    EXPECT_FALSE(inst.Exists(inst.Program()));
    EXPECT_TRUE(inst.RegistryHas("SOFTWARE\\Orvisoft\\Zarvo\\Path"));
}

// A lab's results file is append-only so that pupils cannot empty it; removing the installation
// takes that mark off as it takes off the read-only attribute. Only root can set the mark, and
// only on a file system that keeps it.
TEST(Uninstall, DeletesAnAppendOnlyResultsFile) {
    TSandbox box;
    TInstallation inst(box, 2);
    const std::string results = inst.Program() + "Zarvo.rez";
    ::chmod(results.c_str(), 0666);
    const std::string mark = "chattr +a '" + results + "' 2>/dev/null";
    if (::geteuid() != 0 || std::system(mark.c_str()) != 0)
        GTEST_SKIP() << "the append-only mark cannot be set here";
    TSystemTarget target;
    TUninstallTexts texts = RussianTexts();
    TUninstaller u(texts, target, nullptr);
    EXPECT_TRUE(u.RunUninstall());
    if (inst.Exists(results)) {
        std::system(("chattr -a '" + results + "'").c_str());
        FAIL() << "the append-only results file stays";
    }
}
