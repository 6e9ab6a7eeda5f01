#include "session/Pupil.h"
#include "app/Globals.h"
#include "app/Strings.h"
#include "platform/Files.h"
#include "support/ChildProcess.h"
#include "support/MessageRecorder.h"
#include "support/Sandbox.h"

#include <QLocale>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <functional>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

TFPupil WithMistakes(int spelling, int punctuation, int prompts = 0) {
    TFPupil p("", "", "", "");
    for (int i = 0; i < spelling; ++i)
        p.AddSpellingMistake("S" + std::to_string(i));
    for (int i = 0; i < punctuation; ++i)
        p.AddPunctuationMistake("P" + std::to_string(i));
    for (int i = 0; i < prompts; ++i)
        p.AddPrompt();
    return p;
}

const QDateTime Moment(QDate(2024, 3, 5), QTime(9, 7, 3));

std::string Expected(const std::vector<std::string>& lines) {
    std::string s;
    for (const std::string& l : lines)
        s += l + "\r\n";
    return s;
}

std::string DateLine(const QDateTime& m) {
    return QLocale::system().toString(m.date(), QLocale::ShortFormat).toStdString() + " 09:07:03";
}

void ExpectResultFileError() {
    std::vector<TRecordedBox> boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Caption, Title);
    EXPECT_EQ(boxes[0].Text, strResultFileError);
    EXPECT_EQ(boxes[0].Flags & 0xF0u, 0x30u);
}

// In a child: the number of result-file boxes since the last call, as an exit status.
int BoxesShown() {
    int n = 0;
    for (const TRecordedBox& b : Recorder().Take())
        n += b.Text == strResultFileError ? 1 : 100;
    return n;
}

} // namespace

TEST(Pupil, MarkTable) {
    struct Case {
        int s, p, prompts, mark;
    };
    for (const Case& c : std::vector<Case>{{0, 0, 0, 5},
                                           {0, 0, 2, 5},
                                           {0, 0, 3, 0},
                                           {9, 9, 3, 0},
                                           {2, 4, 0, 4},
                                           {1, 0, 0, 4},
                                           {3, 0, 0, 3},
                                           {4, 7, 0, 3},
                                           {3, 8, 0, 3},
                                           {4, 8, 0, 2},
                                           {0, 9, 0, 2},
                                           {5, 0, 0, 2},
                                           {0, 5, 0, 3}}) {
        TFPupil p = WithMistakes(c.s, c.p, c.prompts);
        EXPECT_EQ(p.GetMark(), c.mark) << c.s << " " << c.p << " " << c.prompts;
    }
}

TEST(ResultsBlock, OneSpellingMistake) {
    TSandbox box;
    TFPupil p("Ann", "5 class", "Commas", "Variant 2");
    for (int i = 0; i < 7; ++i)
        p.AddQuestion();
    p.AddSpellingMistake("ZH1");
    p.AddPrompt();
    const std::string indent(31, ' ');
    EXPECT_EQ(p.ResultsBlock(Moment, false),
              Expected({"", DateLine(Moment), "Pupil: Ann", "Class: 5 class", "Theme: Commas",
                        "Variant: Variant 2", "Number of questions: 7", "Number of mistakes: 1",
                        " including - spelling mistakes: 1:", indent + "ZH1",
                        " including - no punctuation mistakes", "Prompts: 1", "Mark: 4"}));
}

TEST(ResultsBlock, ThreeMistakesInterruptedAndNoMark) {
    TSandbox box;
    TFPupil p = WithMistakes(0, 3);
    const std::string indent(34, ' ');
    std::string block = p.ResultsBlock(Moment, true);
    EXPECT_NE(block.find("\r\n including - no spelling mistakes\r\n including - punctuation "
                         "mistakes: 3:\r\n" +
                         indent + "P0\r\n" + indent + "P1\r\n" + indent +
                         "P2\r\nPrompts: 0\r\n"
                         "Interrupted by user!\r\n"),
              std::string::npos)
        << block;
    // The interrupted line stands in for the mark even when there would be one.
    EXPECT_EQ(block.find("Mark:"), std::string::npos);
    TFPupil training = WithMistakes(0, 0, 3);
    std::string t = training.ResultsBlock(Moment, false);
    EXPECT_EQ(t.substr(t.size() - 28), "No mark - training regime!\r\n");
    // Translated labels set the indent by their own length.
    strSpellingMistakes = "ab:";
    EXPECT_NE(WithMistakes(1, 0).ResultsBlock(Moment, false).find(" ab: 1:\r\n    S0\r\n"),
              std::string::npos);
}

TEST(ResultsBlock, NoTimeAtMidnight) {
    const QDateTime midnight(QDate(2024, 3, 5), QTime(0, 0));
    EXPECT_EQ(FormatResultsDateTime(midnight),
              QLocale::system().toString(midnight.date(), QLocale::ShortFormat).toStdString());
    EXPECT_EQ(FormatResultsDateTime(QDateTime(QDate(2024, 3, 5), QTime(0, 0, 1)))
                  .substr(FormatResultsDateTime(midnight).size()),
              " 00:00:01");
}

TEST(ResultsFile, CaptionOnceThenBlocks) {
    TSandbox box;
    std::string file = platform::FromNativePath(box.Root() + "Zarvo.rez");
    TFPupil p("Ann", "5", "T", "V");
    p.SaveResults(file, false);
    p.Init("Bob", "5", "T", "V");
    p.SaveResults(file, true);
    std::string text = box.Read("Zarvo.rez");
    EXPECT_EQ(text.rfind("The \"Zarvo\" Results file\r\n\r\n", 0), 0u) << text;
    EXPECT_EQ(text.find("Results file", 30), std::string::npos);
    EXPECT_NE(text.find("Mark: 5\r\n\r\n"), std::string::npos);
    EXPECT_NE(text.find("Pupil: Bob"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 22), "Interrupted by user!\r\n");
    EXPECT_EQ(Recorder().Pending(), 0u);
}

TEST(ResultsFile, FailuresShowOneBoxAndKeepTheFile) {
    TSandbox box;
    TFPupil p("Ann", "5", "T", "V");
    // A folder where the file should be, and a path under a file: the file cannot be opened.
    box.Write("taken/Zarvo.rez/x", "");
    p.SaveResults(platform::FromNativePath(box.Root() + "taken/Zarvo.rez"), false);
    ExpectResultFileError();
    box.Write("plain", "kept");
    p.SaveResults(platform::FromNativePath(box.Root() + "plain/Zarvo.rez"), false);
    ExpectResultFileError();
    EXPECT_EQ(box.Read("plain"), "kept");
    // A device that takes no bytes: the write fails.
    p.SaveResults("/dev/full", false);
    ExpectResultFileError();
    // Without a configuration there is no results file to take.
    p.SaveResults("", false);
    ExpectResultFileError();
    EXPECT_FALSE(GlobalFailure);
}

TEST(ResultsFile, TwoProcessesAppendingAtOnce) {
    TSandbox box;
    const std::string file = platform::FromNativePath(box.Root() + "Zarvo.rez");
    const int perChild = 200;
    std::vector<pid_t> children;
    for (const char* name : {"Alpha", "Beta"}) {
        pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            TFPupil p(name, "5", "T", "V");
            for (int i = 0; i < 3; ++i)
                p.AddPunctuationMistake("R" + std::to_string(i));
            for (int i = 0; i < perChild; ++i)
                p.SaveResults(file, false);
            _exit(Recorder().Pending() == 0 ? 0 : 3);
        }
        children.push_back(pid);
    }
    for (pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    const std::string text = box.Read("Zarvo.rez");
    const std::string caption = "The \"Zarvo\" Results file\r\n";
    ASSERT_EQ(text.rfind(caption, 0), 0u);
    EXPECT_EQ(text.find("Results file", caption.size()), std::string::npos);
    // Every block whole: cut at the empty lines, each piece is one complete block.
    std::string rest = text.substr(caption.size());
    int blocks[2] = {0, 0};
    const std::string sep = "\r\n\r\n";
    std::size_t at = 0;
    while (at < rest.size()) {
        ASSERT_EQ(rest.compare(at, 2, "\r\n"), 0);
        std::size_t next = rest.find(sep, at + 2);
        std::string block =
            rest.substr(at + 2, next == std::string::npos ? std::string::npos : next + 2 - at - 2);
        bool alpha = block.find("Pupil: Alpha\r\n") != std::string::npos;
        bool beta = block.find("Pupil: Beta\r\n") != std::string::npos;
        ASSERT_NE(alpha, beta) << block;
        EXPECT_NE(block.find("R0\r\n" + std::string(34, ' ') + "R1\r\n" + std::string(34, ' ') +
                             "R2\r\nPrompts: 0\r\nMark: 4\r\n"),
                  std::string::npos)
            << block;
        ++blocks[alpha ? 0 : 1];
        at = next == std::string::npos ? rest.size() : next + 2;
    }
    EXPECT_EQ(blocks[0], perChild);
    EXPECT_EQ(blocks[1], perChild);
}

TEST(ResultsFile, ALockThatIsNeverReleasedDoesNotLoseTheBlock) {
    TSandbox box;
    const std::string native = box.Write("Zarvo.rez", "The \"Zarvo\" Results file\r\n");
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t holder = fork();
    ASSERT_GE(holder, 0);
    if (holder == 0) {
        // Another copy that took the lock and hangs.
        int fd = open(native.c_str(), O_WRONLY);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        char ready = fcntl(fd, F_SETLK, &lock) == 0 ? 'y' : 'n';
        (void)!write(fds[1], &ready, 1);
        pause();
        _exit(0);
    }
    char ready = 0;
    ASSERT_EQ(read(fds[0], &ready, 1), 1);
    EXPECT_EQ(ready, 'y');
    TFPupil p("Ann", "5", "T", "V");
    p.SaveResults(platform::FromNativePath(native), false);
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    close(fds[0]);
    close(fds[1]);
    EXPECT_EQ(Recorder().Pending(), 0u);
    const std::string text = box.Read("Zarvo.rez");
    EXPECT_EQ(text.find("Results file", 30), std::string::npos);
    EXPECT_NE(text.find("Pupil: Ann\r\n"), std::string::npos) << text;
}

TEST(ResultsFile, OnlyARegularFileIsAppendedToAndNothingWaitsForAReader) {
    TSandbox box;
    const std::string fifo = box.Root() + "Zarvo.rez";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    const std::string file = platform::FromNativePath(fifo);
    // No reader: opening for writing would wait for one for ever.
    EXPECT_EQ(InChild([&] {
                  TFPupil("Ann", "5", "T", "V").SaveResults(file, false);
                  return BoxesShown();
              }),
              1);
    // A reader that goes away once the block is written: the block would be lost silently, or
    // the trainer ended by SIGPIPE.
    EXPECT_EQ(InChild([&] {
                  std::signal(SIGPIPE, SIG_DFL);
                  int reader = open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
                  TFPupil p("Ann", "5", "T", "V");
                  p.SaveResults(file, false);
                  close(reader);
                  p.SaveResults(file, false);
                  return BoxesShown();
              }),
              2);
    box.Write("folder/Zarvo.rez/inside", "");
    EXPECT_EQ(InChild([&] {
                  TFPupil("Ann", "5", "T", "V")
                      .SaveResults(platform::FromNativePath(box.Root() + "folder/Zarvo.rez"),
                                   false);
                  return BoxesShown();
              }),
              1);
}

TEST(ResultsFile, ABlockThatDoesNotFitIsCutBackSoTheFileHoldsWholeBlocks) {
    TSandbox box;
    const std::string native = box.Root() + "Zarvo.rez";
    const std::string file = platform::FromNativePath(native);
    TFPupil p("Ann", "5", "T", "V");
    p.SaveResults(file, false);
    const std::string before = box.Read("Zarvo.rez");
    ASSERT_FALSE(before.empty());
    // A file-size limit stands in for a disk that fills up in the middle of the block: the
    // write stops part of the way, and without the signal ignored the process would end.
    for (rlim_t room : {rlim_t(0), rlim_t(100)}) {
        EXPECT_EQ(InChild([&] {
                      std::signal(SIGXFSZ, SIG_DFL);
                      struct rlimit limit {};
                      limit.rlim_cur = limit.rlim_max = before.size() + room;
                      setrlimit(RLIMIT_FSIZE, &limit);
                      TFPupil("Bob", "5", "T", "V").SaveResults(file, true);
                      return BoxesShown();
                  }),
                  1)
            << room;
        EXPECT_EQ(box.Read("Zarvo.rez"), before) << room;
    }
    // The same for the first block of a new file: no caption is left behind alone.
    const std::string fresh = platform::FromNativePath(box.Root() + "new.rez");
    EXPECT_EQ(InChild([&] {
                  struct rlimit limit {};
                  limit.rlim_cur = limit.rlim_max = 40;
                  setrlimit(RLIMIT_FSIZE, &limit);
                  TFPupil("Bob", "5", "T", "V").SaveResults(fresh, false);
                  return BoxesShown();
              }),
              1);
    EXPECT_EQ(box.Read("new.rez"), "");
    p.SaveResults(file, false);
    EXPECT_EQ(Recorder().Pending(), 0u);
    EXPECT_EQ(box.Read("Zarvo.rez").compare(0, before.size(), before), 0);
}

namespace {

std::size_t Count(const std::string& text, const std::string& what) {
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// A child that takes the lock on the file, says so through the pipe, keeps it for `holdMs`
// milliseconds (or until killed, for a negative value) and ends.
pid_t HoldLock(const std::string& native, int holdMs) {
    int fds[2];
    if (pipe(fds) != 0)
        return -1;
    pid_t pid = fork();
    if (pid == 0) {
        int fd = open(native.c_str(), O_WRONLY);
        struct flock lock {};
        lock.l_type = F_WRLCK;
        lock.l_whence = SEEK_SET;
        char ready = fcntl(fd, F_SETLK, &lock) == 0 ? 'y' : 'n';
        (void)!write(fds[1], &ready, 1);
        if (holdMs < 0)
            pause();
        usleep(static_cast<useconds_t>(holdMs) * 1000);
        _exit(0);
    }
    char ready = 0;
    (void)!read(fds[0], &ready, 1);
    close(fds[0]);
    close(fds[1]);
    return ready == 'y' ? pid : -1;
}

// `copies` processes saving one block each at the same moment; true when all saved silently.
bool SaveInCopies(const std::string& file, int copies) {
    std::vector<pid_t> children;
    for (int i = 0; i < copies; ++i) {
        pid_t pid = fork();
        if (pid == 0) {
            TFPupil("Copy" + std::to_string(i), "5", "T", "V").SaveResults(file, false);
            _exit(Recorder().Pending() == 0 ? 0 : 3);
        }
        children.push_back(pid);
    }
    bool ok = true;
    for (pid_t pid : children) {
        int status = 0;
        ok = waitpid(pid, &status, 0) == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0 && ok;
    }
    return ok;
}

} // namespace

// The copies of a lab start waiting for a lock another copy holds on the still empty file; the
// caption is decided only under the lock, so it is written once however they meet.
TEST(ResultsFile, CopiesWaitingForAHeldLockWriteTheCaptionAtMostOnce) {
    const std::string caption = "The \"Zarvo\" Results file\r\n";
    for (int trial = 0; trial < 12; ++trial) {
        SCOPED_TRACE(trial);
        TSandbox box;
        const std::string native = box.Write("Zarvo.rez", "");
        pid_t holder = HoldLock(native, 150);
        ASSERT_GT(holder, 0);
        EXPECT_TRUE(SaveInCopies(platform::FromNativePath(native), 30));
        waitpid(holder, nullptr, 0);
        const std::string text = box.Read("Zarvo.rez");
        EXPECT_EQ(Count(text, caption), 1u);
        EXPECT_EQ(text.rfind(caption, 0), 0u);
        EXPECT_EQ(Count(text, "Pupil: Copy"), 30u);
    }
    // A lock that is never given back: every copy appends its block alone, none writes a
    // caption it could not decide on, and no block is lost.
    TSandbox box;
    const std::string native = box.Write("Zarvo.rez", "");
    pid_t holder = HoldLock(native, -1);
    ASSERT_GT(holder, 0);
    EXPECT_TRUE(SaveInCopies(platform::FromNativePath(native), 30));
    kill(holder, SIGKILL);
    waitpid(holder, nullptr, 0);
    const std::string text = box.Read("Zarvo.rez");
    EXPECT_EQ(Count(text, caption), 0u);
    EXPECT_EQ(Count(text, "Pupil: Copy"), 30u);
}

namespace {

// A small file system of its own (tmpfs) holding an append-only results file, as a lab sets it
// up; only root can mount it and set the mark.
class TSmallDisk {
public:
    explicit TSmallDisk(const std::string& dir) : Dir(dir) {
        if (geteuid() != 0)
            Why = "not running as root";
        else if (std::system(
                     ("mount -t tmpfs -o size=64k tmpfs '" + Dir + "' 2>/dev/null").c_str()) != 0)
            Why = "tmpfs cannot be mounted here";
        else
            Mounted = true;
    }
    ~TSmallDisk() {
        if (Mounted) {
            std::system(("chattr -a '" + Dir + "/Zarvo.rez' 2>/dev/null").c_str());
            std::system(("umount '" + Dir + "'").c_str());
        }
    }
    bool MarkAppendOnly(const std::string& file) {
        if (std::system(("chattr +a '" + file + "' 2>/dev/null").c_str()) == 0)
            return true;
        Why = "the append-only mark cannot be set on tmpfs here";
        return false;
    }
    // Fills the file system, leaving fewer free bytes than a page.
    void Fill() {
        int fd = open((Dir + "/filler").c_str(), O_WRONLY | O_CREAT, 0644);
        const std::string page(4096, 'f');
        while (write(fd, page.data(), page.size()) > 0) {
        }
        close(fd);
    }
    bool Mounted = false;
    std::string Why;

private:
    std::string Dir;
};

} // namespace

TEST(ResultsFile, AFullDiskLeavesAnAppendOnlyFileWithWholeBlocksOnly) {
    TSandbox box;
    const std::string dir = box.Root() + "disk";
    ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
    TSmallDisk disk(dir);
    const std::string native = dir + "/Zarvo.rez";
    const std::string file = platform::FromNativePath(native);
    if (disk.Mounted) {
        TFPupil("Ann", "5", "T", "V").SaveResults(file, false);
        // The file ends a little before a page boundary: the next block would begin in the last
        // page's free bytes and fail for want of a new page.
        std::string pad;
        {
            const std::string text = box.Read("disk/Zarvo.rez");
            const std::size_t end = 4096 - 60;
            pad = std::string(end - text.size() - 2, 'x') + "\r\n";
            int fd = open(native.c_str(), O_WRONLY | O_APPEND);
            ASSERT_EQ(write(fd, pad.data(), pad.size()), static_cast<ssize_t>(pad.size()));
            close(fd);
        }
        if (!disk.MarkAppendOnly(native))
            disk.Mounted = false;
    }
    if (!disk.Mounted)
        GTEST_SKIP() << "no small file system for the full-disk case: " << disk.Why;
    disk.Fill();
    const std::string before = box.Read("disk/Zarvo.rez");

    EXPECT_EQ(InChild([&] {
                  TFPupil("Bob", "5", "T", "V").SaveResults(file, false);
                  return BoxesShown();
              }),
              1);

    EXPECT_EQ(box.Read("disk/Zarvo.rez"), before) << "no torn block";
}

// Where a block was torn and could not be cut back (append-only, past a size limit), the next
// block still starts on a fresh line, so that a reader loses only the torn one.
TEST(ResultsFile, ATornBlockThatCannotBeCutBackIsFollowedByABlockOnAFreshLine) {
    TSandbox box;
    const std::string dir = box.Root() + "disk";
    ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
    TSmallDisk disk(dir);
    const std::string native = dir + "/Zarvo.rez";
    const std::string file = platform::FromNativePath(native);
    if (disk.Mounted) {
        TFPupil("Ann", "5", "T", "V").SaveResults(file, false);
        if (!disk.MarkAppendOnly(native))
            disk.Mounted = false;
    }
    if (!disk.Mounted)
        GTEST_SKIP() << "no small file system for the torn-block case: " << disk.Why;
    const std::string before = box.Read("disk/Zarvo.rez");

    EXPECT_EQ(InChild([&] {
                  struct rlimit limit {};
                  limit.rlim_cur = limit.rlim_max = before.size() + 50;
                  setrlimit(RLIMIT_FSIZE, &limit);
                  TFPupil("Bob", "5", "T", "V").SaveResults(file, false);
                  return BoxesShown();
              }),
              1);
    const std::string torn = box.Read("disk/Zarvo.rez");
    ASSERT_EQ(torn.compare(0, before.size(), before), 0);
    TFPupil carl("Carl", "5", "T", "V");
    carl.SaveResults(file, false);
    EXPECT_EQ(Recorder().Pending(), 0u);

    const std::string after = box.Read("disk/Zarvo.rez");
    ASSERT_EQ(after.compare(0, torn.size(), torn), 0);
    const std::string added = after.substr(torn.size());
    EXPECT_EQ(added.find("\r\n\r\n"), torn.back() == '\n' ? std::string::npos : 0u) << added;
    EXPECT_NE(added.find("\r\nPupil: Carl\r\n"), std::string::npos);
    EXPECT_EQ(after.substr(after.size() - 9), "Mark: 5\r\n");
}
