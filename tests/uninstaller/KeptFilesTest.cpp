// A damaged, hostile or shared installation: Uninstall.log and the registry's results name are
// written by someone the Uninstaller (run as root) must not obey blindly. Each case checks what
// is gone, what stays, and that every kept file is named.

#include "Installation.h"
#include "support/MessageRecorder.h"
#include "uninstaller/Program.h"
#include "uninstaller/Target.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <sstream>
#include <sys/stat.h>
#include <unistd.h>

namespace {

TUninstallTexts Texts() {
    TUninstallTexts t;
    t.PictureFolder = PictureFolderFor("Russian");
    return t;
}

// Runs the steps on the machine; gives the text of the kept-files box ("" when none was shown).
std::string RunAndTakeKept(bool expectKept) {
    TUninstallTexts texts = Texts();
    TSystemTarget target;
    TUninstaller u(texts, target, nullptr);
    EXPECT_EQ(u.RunUninstall(), !expectKept);
    std::string kept;
    for (const auto& b : Recorder().Take()) {
        EXPECT_EQ(b.Flags, 0x30u) << b.Text;
        kept += b.Text;
    }
    return kept;
}

bool Has(const std::string& text, const std::string& what) {
    return text.find(what) != std::string::npos;
}

std::string ResultsKey(const std::string& value) {
    return "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\Result]\r\n\"Result\"=\"" +
           value + "\"\r\n\r\n";
}

// Root may set the immutable mark where the file system keeps it; the guard takes it off again
// so that the sandbox can be removed.
class TMark {
public:
    TMark(const std::string& path, const char* mark) : Path(path), Mark(mark) {
        Set = ::geteuid() == 0 &&
              std::system(("chattr +" + Mark + " '" + Path + "' 2>/dev/null").c_str()) == 0;
    }
    ~TMark() {
        if (Set)
            std::system(("chattr -" + Mark + " '" + Path + "' 2>/dev/null").c_str());
    }
    bool Set = false;

private:
    std::string Path, Mark;
};

} // namespace

TEST(KeptFiles, ListedPathsOutsideTheProgramFolderOrClimbingOutOfItStay) {
    TSandbox box;
    TInstallation inst(box, 2);
    const std::string outside = box.Write("outside/x", "someone's");
    ::chmod(outside.c_str(), 0444);
    const std::string climbing = inst.Program() + "../outside/x";
    inst.WriteLog({outside, climbing, inst.Listed[1]});

    const std::string kept = RunAndTakeKept(true);

    EXPECT_TRUE(box.Exists("outside/x"));
    EXPECT_TRUE(Has(kept, outside + ": it lies outside")) << kept;
    EXPECT_TRUE(Has(kept, climbing + ": it is not a full path")) << kept;
    EXPECT_FALSE(inst.Exists(inst.Listed[1])) << "what the installation made still goes";
}

TEST(KeptFiles, AFolderLinkOnTheWayIsNeverFollowed) {
    TSandbox box;
    TInstallation inst(box, 2);
    box.Write("elsewhere/important.txt", "keep");
    ASSERT_EQ(::symlink((box.Root() + "elsewhere").c_str(), (inst.Program() + "pics").c_str()), 0);
    const std::string through = inst.Program() + "pics/important.txt";
    // Written in another case, as a Windows log may be: the link is found all the same.
    const std::string otherCase = inst.Program() + "PICS/important.txt";
    inst.WriteLog({through, otherCase, inst.Program() + "pics"});

    const std::string kept = RunAndTakeKept(true);

    EXPECT_EQ(box.Read("elsewhere/important.txt"), "keep");
    EXPECT_TRUE(Has(kept, through + ": a link stands on the way")) << kept;
    EXPECT_TRUE(Has(kept, otherCase + ": a link stands on the way")) << kept;
    EXPECT_FALSE(inst.Exists(inst.Program() + "pics")) << "the listed link itself goes";
}

TEST(KeptFiles, ANameHoldingALineBreakDeletesNeitherItNorTheFileItsFirstHalfNames) {
    TSandbox box;
    TInstallation inst(box, 2);
    const std::string odd = box.Write("prog/new\nline", "odd");
    box.Write("prog/new", "a file the first half would name");
    inst.WriteLog({odd, inst.Listed[1]});

    const std::string kept = RunAndTakeKept(true);

    EXPECT_TRUE(box.Exists("prog/new"));
    EXPECT_TRUE(inst.Exists(odd));
    EXPECT_TRUE(Has(kept, inst.Program() + "new\\nline: its name holds a control character"))
        << kept;
    EXPECT_FALSE(inst.Exists(inst.Listed[1]));
}

TEST(KeptFiles, AnImmutableFileStaysAndKeepsItsMark) {
    TSandbox box;
    TInstallation inst(box, 3);
    TMark mark(inst.Listed[1], "i");
    if (!mark.Set)
        GTEST_SKIP() << "the immutable mark cannot be set here (needs root and a file system "
                        "that keeps it)";

    const std::string kept = RunAndTakeKept(true);

    EXPECT_TRUE(inst.Exists(inst.Listed[1]));
    EXPECT_TRUE(Has(kept, inst.Listed[1] + ": it is marked immutable")) << kept;
    EXPECT_FALSE(inst.Exists(inst.Listed[2]));
    // Still marked: removing the mark fails only when it is there.
    EXPECT_NE(::unlink(inst.Listed[1].c_str()), 0);
}

TEST(KeptFiles, AListedAppendOnlyFileStaysOnlyTheRegistrysResultsFileLosesTheMark) {
    TSandbox box;
    TInstallation inst(box, 3);
    TMark mark(inst.Listed[1], "a");
    if (!mark.Set)
        GTEST_SKIP() << "the append-only mark cannot be set here";

    const std::string kept = RunAndTakeKept(true);

    EXPECT_TRUE(inst.Exists(inst.Listed[1]));
    EXPECT_TRUE(Has(kept, inst.Listed[1] + ": it is marked immutable or append-only")) << kept;
}

TEST(KeptFiles, ARecordedInstallationRootAdmitsTheProgramsOutsideTheProgramFolder) {
    TSandbox box;
    TInstallation inst(box, 1);
    const std::string program = box.Write("prefix/bin/zarvo", "the trainer");
    const std::string beside = box.Write("prefix2/bin/zarvo", "another prefix");
    inst.WriteLog({program, beside});
    inst.WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Path]\r\n"
                       "\"InstallRoot\"=\"" +
                       box.Root() + "prefix/\"\r\n\r\n");

    const std::string kept = RunAndTakeKept(true);

    EXPECT_FALSE(inst.Exists(program));
    EXPECT_TRUE(inst.Exists(beside)) << "a neighbour whose name begins alike is not inside";
    EXPECT_TRUE(Has(kept, beside + ": it lies outside")) << kept;
}

TEST(KeptFiles, AResultsFileNamedOutsideGoesOnlyWhenItIsOne) {
    struct TCase {
        const char* Name;
        std::string Contents;
        bool Goes;
    };
    const TCase cases[] = {
        {"empty", "", true},
        {"English", "The \"Zarvo\" Results file\r\n\r\n8.12.2026\r\n", true},
        {"Russian",
         "\xD4\xE0\xE9\xEB \xF0\xE5\xE7\xF3\xEB\xFC\xF2\xE0\xF2\xEE\xE2 "
         "\xEF\xF0\xEE\xE3\xF0\xE0\xEC\xEC\xFB \"\xC7\xE0\xF0\xE2\xEE\"\r\n",
         true},
        {"foreign", "root:x:0:0:root:/root:/bin/bash\n", false},
    };
    for (const TCase& c : cases) {
        for (bool relative : {true, false}) {
            SCOPED_TRACE(std::string(c.Name) + (relative ? ", relative" : ", absolute"));
            TSandbox box;
            TInstallation inst(box, 1);
            const std::string file = box.Write("outside/rel.rez", c.Contents);
            ::chmod(file.c_str(), 0444);
            const std::string value = relative ? "../outside/rel.rez" : file;
            inst.WriteRegistry(ResultsKey(value));

            const std::string kept = RunAndTakeKept(!c.Goes);

            EXPECT_EQ(inst.Exists(file), !c.Goes);
            EXPECT_EQ(Has(kept, ": it is not a results file"), !c.Goes) << kept;
        }
    }
    // A link named as the results file is no regular file: the link and its target stay.
    TSandbox box;
    TInstallation inst(box, 1);
    const std::string target = box.Write("outside/target.rez", "");
    const std::string link = box.Root() + "outside/link.rez";
    ASSERT_EQ(::symlink(target.c_str(), link.c_str()), 0);
    inst.WriteRegistry(ResultsKey(link));
    RunAndTakeKept(true);
    EXPECT_TRUE(inst.Exists(link));
    EXPECT_TRUE(inst.Exists(target));
}

TEST(KeptFiles, ALogThatIsAFolderOrAFifoStopsTheRunWithTheReinstallAdvice) {
    for (bool fifo : {false, true}) {
        SCOPED_TRACE(fifo ? "FIFO" : "folder");
        TSandbox box;
        TInstallation inst(box, 3);
        const std::string log = inst.Program() + "Uninstall.log";
        ::unlink(log.c_str());
        ASSERT_EQ(fifo ? ::mkfifo(log.c_str(), 0644) : ::mkdir(log.c_str(), 0755), 0);
        std::ostringstream out, err;
        TUninstallOptions yes;
        yes.Mode = TUninstallMode::Yes;

        EXPECT_EQ(RunUninstallProgram(yes, out, err), 1);

        EXPECT_TRUE(Has(err.str(), "not a regular file")) << err.str();
        EXPECT_TRUE(Has(err.str(), inst.Program())) << "the advice names the folder";
        for (const std::string& f : inst.Listed)
            EXPECT_TRUE(inst.Exists(f)) << f;
        EXPECT_TRUE(inst.RegistryHas("SOFTWARE\\Orvisoft\\Zarvo\\Path"))
            << "the keys stay for a second try";
    }
}

TEST(KeptFiles, YesNamesEveryKeptFileOnStandardErrorAndExitsWithOne) {
    TSandbox box;
    TInstallation inst(box, 1);
    std::vector<std::string> lines;
    for (int i = 0; i < 20; ++i)
        lines.push_back(box.Write("outside/f" + std::to_string(i), "x"));
    inst.WriteLog(lines);
    std::ostringstream out, err;
    TUninstallOptions yes;
    yes.Mode = TUninstallMode::Yes;

    EXPECT_EQ(RunUninstallProgram(yes, out, err), 1);

    for (const std::string& l : lines)
        EXPECT_TRUE(Has(err.str(), l + ": it lies outside")) << l;
    EXPECT_FALSE(inst.RegistryHas("SOFTWARE\\Orvisoft\\Zarvo\\Path")) << "the other steps ran";
}

TEST(KeptFiles, AnOversizedRegistryStopsTheRunWithAMessageInsteadOfReadingAsEmpty) {
    TSandbox box;
    TInstallation inst(box, 2);
    ASSERT_EQ(::truncate(box.RegistryFile().c_str(), 9 * 1024 * 1024), 0);
    for (TUninstallMode mode : {TUninstallMode::Yes, TUninstallMode::DryRun}) {
        std::ostringstream out, err;
        TUninstallOptions options;
        options.Mode = mode;
        EXPECT_EQ(RunUninstallProgram(options, out, err), 1);
        EXPECT_TRUE(Has(err.str(), "registry file " + box.RegistryFile())) << err.str();
    }
    EXPECT_TRUE(inst.Exists(inst.Listed[1]));
    EXPECT_TRUE(inst.Exists(box.WinDir() + "Config.fcf"));
}
