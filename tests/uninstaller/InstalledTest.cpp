#include "uninstaller/Installed.h"
#include "Installation.h"
#include "platform/Text.h"
#include "support/MessageRecorder.h"
#include "support/Watchdog.h"
#include "uninstaller/Program.h"

#include <gtest/gtest.h>
#include <sstream>

using platform::IDNO;
using platform::IDYES;

namespace {

int RunOptions(TUninstallMode mode, bool keep, std::string* out = nullptr,
               std::string* err = nullptr) {
    std::ostringstream o, e;
    TUninstallOptions options;
    options.Mode = mode;
    options.KeepResults = keep;
    int status = RunUninstallProgram(options, o, e);
    if (out)
        *out = o.str();
    if (err)
        *err = e.str();
    return status;
}

// Two sessions as the trainer appends them, after the file's caption line.
const char* const TwoBlocks = "The \"Zarvo\" Results file\r\n"
                              "\r\n01.09.2024 10:00:00\r\nPupil: Ann\r\nMark: 5\r\n"
                              "\r\n02.09.2024 11:00:00\r\nPupil: Boris\r\n"
                              " including - spelling mistakes: 1:\r\n   R1\r\nMark: 4\r\n";

} // namespace

TEST(ResultBlocks, AreCountedByTheEmptyLineBeforeEachDate) {
    EXPECT_EQ(CountResultBlocks(""), 0);
    EXPECT_EQ(CountResultBlocks("The \"Zarvo\" Results file\r\n"), 0);
    EXPECT_EQ(CountResultBlocks(TwoBlocks), 2);
    // LF endings, blanks in the empty line, trailing empty lines: still two.
    EXPECT_EQ(CountResultBlocks("caption\n\nd1\nx\n \t\nd2\n\n\n"), 2);
}

TEST(UninstallConfirmation, NamesTheResultsFileAndItsBlocksInTheRegistryLanguage) {
    TSandbox box;
    TWatchdog watchdog;
    TInstallation inst(box, 2);
    box.Write("prog/Zarvo.rez", TwoBlocks);
    box.Write("prog/Zarvo.flt",
              platform::Utf8ToAnsi("[Uninstaller_Russian]\r\nstrConfirmation=Удалить?\r\n"
                                   "strResultsDeleted=Файл %1 (блоков: %2) будет удалён.\r\n"));
    Recorder().Answer(IDNO);

    EXPECT_EQ(RunOptions(TUninstallMode::Window, false), 0);

    auto boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(platform::AnsiToUtf8(boxes[0].Text),
              "Удалить?\r\nФайл " + inst.Program() + "Zarvo.rez (блоков: 2) будет удалён.");
    EXPECT_TRUE(inst.Exists(inst.Program() + "Zarvo.rez"));
}

TEST(UninstallConfirmation, WithoutAResultsFileTheQuestionIsTheUsualOne) {
    TSandbox box;
    TWatchdog watchdog;
    TInstallation inst(box, 2);
    ::unlink((inst.Program() + "Zarvo.rez").c_str());
    Recorder().Answer(IDNO);
    EXPECT_EQ(RunOptions(TUninstallMode::Window, false), 0);
    auto boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Text, "Are You sure You want to uninstall \"Zarvo\"?");
}

TEST(UninstallKeepResults, KeepsTheFileAndSaysSoInEveryRun) {
    TSandbox box;
    TWatchdog watchdog;
    TInstallation inst(box, 3);
    const std::string results = inst.Program() + "Zarvo.rez";
    box.Write("prog/Zarvo.rez", TwoBlocks);

    std::string out, err;
    EXPECT_EQ(RunOptions(TUninstallMode::DryRun, true, &out, &err), 0);
    EXPECT_EQ(out.find("Zarvo.rez"), std::string::npos) << out;
    EXPECT_NE(out.find(inst.Listed[1]), std::string::npos) << "the rest is listed as usual";
    EXPECT_NE(err.find(results + " (result blocks: 2) is kept"), std::string::npos) << err;
    EXPECT_EQ(RunOptions(TUninstallMode::DryRun, false, &out, &err), 0);
    EXPECT_NE(out.find(results), std::string::npos) << out;
    EXPECT_NE(err.find("will be deleted"), std::string::npos) << err;

    Recorder().Answer(IDYES);
    EXPECT_EQ(RunOptions(TUninstallMode::Window, true), 0);
    auto boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_NE(boxes[0].Text.find("(result blocks: 2) is kept."), std::string::npos);
    EXPECT_EQ(box.Read("prog/Zarvo.rez"), TwoBlocks);
    for (const std::string& f : inst.Listed)
        EXPECT_FALSE(inst.Exists(f));
    EXPECT_FALSE(inst.RegistryHas("SOFTWARE\\Orvisoft\\Zarvo"));
}

// A package's files are the package manager's: removing them here would leave it believing
// they are installed. Every run names its command and changes nothing.
TEST(UninstallPackage, IsLeftToThePackageManagerInEveryRun) {
    TSandbox box;
    TWatchdog watchdog;
    TInstallation inst(box, 3);
    inst.WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Package]\r\n"
                       "\"Package\"=\"deb\"\r\n");
    const std::string registry = inst.Registry();

    EXPECT_EQ(RunOptions(TUninstallMode::Window, false), 0);
    auto boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), 1u) << "no question is asked";
    EXPECT_NE(boxes[0].Text.find("apt remove zarvo"), std::string::npos) << boxes[0].Text;
    EXPECT_NE(boxes[0].Text.find("dpkg --purge zarvo"), std::string::npos) << boxes[0].Text;
    EXPECT_EQ(boxes[0].Flags, 0x40u);

    std::string out, err;
    EXPECT_EQ(RunOptions(TUninstallMode::Yes, false, &out, &err), 1) << "nothing was removed";
    EXPECT_NE(err.find("apt remove zarvo"), std::string::npos) << err;
    EXPECT_EQ(RunOptions(TUninstallMode::DryRun, false, &out, &err), 0);
    EXPECT_EQ(out, "") << "nothing would be removed";

    inst.WriteRegistry("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Package]\r\n"
                       "\"Package\"=\"rpm\"\r\n");
    EXPECT_EQ(RunOptions(TUninstallMode::Yes, false, &out, &err), 1);
    EXPECT_NE(err.find("rpm -e zarvo"), std::string::npos) << err;

    for (const std::string& f : inst.Listed)
        EXPECT_TRUE(inst.Exists(f));
    EXPECT_TRUE(inst.Exists(inst.Program() + "Zarvo.rez"));
    EXPECT_TRUE(inst.Exists(inst.Desktop() + "zarvo.desktop"));
    EXPECT_TRUE(inst.RegistryHas("SOFTWARE\\Orvisoft\\Zarvo\\Path"));
}

TEST(UninstallOptions, KeepResultsGoesWithEveryMode) {
    auto parse = [](std::vector<std::string> a) { return ParseUninstallArguments(a); };
    EXPECT_TRUE(parse({"--keep-results"}).KeepResults);
    EXPECT_EQ(parse({"--keep-results"}).Mode, TUninstallMode::Window);
    EXPECT_EQ(parse({"--yes", "--keep-results"}).Mode, TUninstallMode::Yes);
    EXPECT_TRUE(parse({"--dry-run", "--keep-results"}).KeepResults);
    EXPECT_FALSE(parse({"--yes"}).KeepResults);
    EXPECT_EQ(parse({"--keep"}).Mode, TUninstallMode::BadUsage);
}
