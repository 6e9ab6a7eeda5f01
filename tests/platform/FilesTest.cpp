#include "platform/Files.h"
#include "platform/Exception.h"
#include "platform/Picture.h"
#include "platform/Profile.h"
#include "platform/Text.h"
#include "support/ChildProcess.h"
#include "support/Sandbox.h"

#include <QDir>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

TEST(Paths, ProgramPathsFindFilesWhoseNamesDifferInCase) {
    TSandbox box;
    box.Write("content/Zarvo.flt", "x");
    box.Write("content/RFPF/Lay2.fpf", "yy");
    box.Write(AnsiToUtf8(Utf8ToAnsi("content/Папка/Файл.txt")), "z");
    const std::string dir = box.ContentDir();

    EXPECT_TRUE(FileExists(dir + "zarvo.flt"));
    EXPECT_EQ(NativePath(dir + "ZARVO.FLT"), dir + "Zarvo.flt");
    EXPECT_EQ(NativePath(dir + "rfpf\\LAY2.FPF"), dir + "RFPF/Lay2.fpf");
    EXPECT_TRUE(FileExists(dir + Utf8ToAnsi("пАПКА\\фАЙЛ.TXT")));
    EXPECT_TRUE(DirectoryExists(dir + "rfpf\\"));
    EXPECT_FALSE(FileExists(dir + "rfpf"));
    EXPECT_FALSE(DirectoryExists(dir + "zarvo.flt"));

    // A component that matches nothing is kept as written, and so is everything after it.
    EXPECT_EQ(NativePath(dir + "Missing\\rfpf\\x"), dir + "Missing/rfpf/x");
    EXPECT_EQ(NativePath(dir + "rfpf\\New.fpf"), dir + "RFPF/New.fpf");
    EXPECT_FALSE(FileExists(""));
}

TEST(Paths, TheExactNameWinsAndSeveralCandidatesResolveTheSameWay) {
    TSandbox box;
    box.Write("content/help.txt", "exact");
    box.Write("content/HELP.TXT", "upper");
    box.Write("content/Help.Txt", "mixed");
    EXPECT_EQ(NativePath(box.ContentDir() + "help.txt"), box.ContentDir() + "help.txt");
    // "HELP.TXT" sorts first in byte order.
    EXPECT_EQ(NativePath(box.ContentDir() + "hElP.tXt"), box.ContentDir() + "HELP.TXT");
}

TEST(Files, SizeByDirectorySearch) {
    TSandbox box;
    box.Write("content/Zarvo.ff", std::string(1234, 'a'));
    EXPECT_EQ(FileSizeBySearch(box.ContentDir() + "ZARVO.FF"), 1234);
    EXPECT_EQ(FileSizeBySearch(box.ContentDir() + "none.ff"), -1);
    EXPECT_EQ(FileSizeBySearch(box.ContentDir()), -1) << "a search names one entry";
    EXPECT_EQ(FileSizeBySearch(""), -1);
}

TEST(Files, ReadOnlyAttributeGuardsDeletion) {
    TSandbox box;
    const std::string file = box.Write("content/Zarvo.rez", "r");
    EXPECT_FALSE(FileIsReadOnly(file));
    ASSERT_TRUE(SetFileReadOnly(file, true));
    EXPECT_TRUE(FileIsReadOnly(file));
    EXPECT_FALSE(DeleteFile(file)) << "as Windows, a read-only file is not deleted";
    EXPECT_TRUE(FileExists(file));
    ASSERT_TRUE(SetFileReadOnly(file, false));
    EXPECT_TRUE(DeleteFile(file));
    EXPECT_FALSE(FileExists(file));
    EXPECT_FALSE(DeleteFile(file));
    EXPECT_FALSE(DeleteFile(box.ContentDir())) << "a folder is no file";

    box.Write("content/Full/x", "");
    EXPECT_FALSE(RemoveDir(box.ContentDir() + "full")) << "only an empty folder goes";
    EXPECT_TRUE(DeleteFile(box.ContentDir() + "full\\X"));
    EXPECT_TRUE(RemoveDir(box.ContentDir() + "full"));
    EXPECT_FALSE(DirectoryExists(box.ContentDir() + "Full"));
}

TEST(Files, AtomicWriteReplacesWholeFilesAndKeepsTheirMode) {
    TSandbox box;
    const std::string file = box.Write("content/data.txt", "old contents, longer");
    ASSERT_EQ(::chmod(file.c_str(), 0640), 0);
    WriteFileAtomically(file, "new");
    EXPECT_EQ(ReadFileBytes(file, 100), "new");
    struct stat st;
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(QDir(QString::fromStdString(box.ContentDir())).entryList(QDir::Files | QDir::Hidden),
              QStringList{"data.txt"})
        << "no temporary file is left behind";

    EXPECT_THROW(WriteFileAtomically(box.Root() + "no/such/folder/f", "x"), EInOutError);
    EXPECT_THROW(ReadFileBytes(box.Root() + "missing", 100), EInOutError);
}

TEST(Files, WindowsDirectoryComesFromTheEnvironment) {
    TSandbox box;
    box.SetEnv("ZARVO_WINDIR", box.Root() + "win//");
    EXPECT_EQ(GetWindowsDirectory(), box.Root() + "win");
    box.SetEnv("ZARVO_WINDIR", std::nullopt);
    EXPECT_EQ(GetWindowsDirectory(), "/etc/zarvo");
}

TEST(Files, ReadingNeverWaitsAndStopsAtTheLimit) {
    TSandbox box;
    const std::string fifo = box.Root() + "fifo";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    const std::string sparse = box.Write("sparse", "");
    ASSERT_EQ(truncate(sparse.c_str(), 64 * 1024 * 1024), 0);
    const std::string exact = box.Write("exact", std::string(100, 'x'));
    // Each reader of the programs on the inputs that used to hang it or fill the memory; the
    // child has half a minute for what takes a moment.
    EXPECT_EQ(InChild([&] {
                  int wrong = 0;
                  auto refused = [&](const std::string& path, std::size_t limit) {
                      try {
                          ReadFileBytes(path, limit);
                          ++wrong;
                      } catch (const EInOutError&) {
                      }
                  };
                  refused("/dev/zero", MaxSettingsFileSize);
                  refused(box.Root(), MaxSettingsFileSize);
                  refused(sparse, MaxSettingsFileSize);
                  refused(exact, 99);
                  wrong += ReadFileBytes(exact, 100).size() != 100;
                  // No writer: an empty file.
                  wrong += !ReadFileBytes(fifo, 100).empty();
                  wrong += TIniFile("/dev/zero").Loaded() || TIniFile(sparse).Loaded();
                  wrong += !TIniFile(fifo).Loaded();
                  for (const std::string& path : {std::string("/dev/zero"), fifo, sparse}) {
                      try {
                          LoadPicture(path);
                          ++wrong;
                      } catch (const Exception&) {
                      }
                  }
                  try {
                      TReadFile file("/dev/zero");
                      ++wrong;
                  } catch (const EInOutError&) {
                  }
                  return wrong;
              }),
              0);
}
