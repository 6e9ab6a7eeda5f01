#include "platform/Registry.h"
#include "platform/Exception.h"
#include "platform/Text.h"
#include "support/ChildProcess.h"
#include "support/Sandbox.h"

#include <QFile>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace platform;

namespace {
const std::string Product = "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo";
}

TEST(Registry, ReadsValuesOfTheirOwnTypeAndRefusesOthers) {
    TSandbox box;
    box.WriteRegistry(Product + "\\Files\\VarLib\\Length]\r\n"
                                "\"Length\"=dword:0000000c\r\n"
                                "\"Text\"=\"a \\\"quoted\\\" C:\\\\path\\\\\"\r\n"
                                "\"Negative\"=DWORD:FFFFFFFF\r\n"
                                "\"Name\"=\"Русский\"\r\n");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\VarLib\\Length", false));
    EXPECT_EQ(reg.ReadInteger("Length"), 12);
    EXPECT_EQ(reg.ReadInteger("length"), 12) << "value names ignore case";
    EXPECT_EQ(reg.ReadInteger("Negative"), -1);
    EXPECT_EQ(reg.ReadString("Text"), "a \"quoted\" C:\\path\\");
    EXPECT_EQ(reg.ReadString("Name"), Utf8ToAnsi("Русский"));
    EXPECT_EQ(reg.ReadString("Missing"), "");
    EXPECT_FALSE(reg.ValueExists("Missing"));
    EXPECT_THROW(reg.ReadInteger("Missing"), ERegistryError);
    EXPECT_THROW(reg.ReadInteger("Text"), ERegistryError);
    EXPECT_THROW(reg.ReadString("Length"), ERegistryError);
}

TEST(Registry, KeysIgnoreCaseAndImplyTheirParents) {
    TSandbox box;
    box.WriteRegistry("[hkey_local_machine\\software\\ORVISOFT\\zarvo\\Path]\r\n"
                      "\"Path\"=\"/opt/zarvo/\"\r\n");
    TRegistry reg;
    EXPECT_TRUE(reg.OpenKey("SOFTWARE\\Orvisoft\\Zarvo", false));
    EXPECT_TRUE(reg.HasSubKeys());
    EXPECT_TRUE(reg.OpenKey("Path", false)) << "relative to the open key";
    EXPECT_EQ(reg.ReadString("Path"), "/opt/zarvo/");
    EXPECT_FALSE(reg.HasSubKeys());
    reg.CloseKey();
    EXPECT_TRUE(reg.OpenKey("\\SOFTWARE\\Orvisoft", false));
    EXPECT_FALSE(reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarv", false)) << "no prefix matches";
    EXPECT_FALSE(reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Files", false));
}

TEST(Registry, MalformedLinesAndForeignRootsDefineNothing) {
    TSandbox box;
    box.WriteRegistry(Product + "\\A]\r\n"
                                "garbage line\r\n"
                                "\"Open\"=\"no closing quote\r\n"
                                "\"Bad\"=dword:xyz\r\n"
                                "\"Long\"=dword:123456789\r\n"
                                "\"Deleted\"=-\r\n"
                                "\"Twice\"=\"first\"\r\n"
                                "\"Twice\"=\"second\"\r\n"
                                "[HKEY_CURRENT_USER\\SOFTWARE\\Orvisoft\\Zarvo\\A]\r\n"
                                "\"Other\"=\"foreign\"\r\n"
                                "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Unclosed\r\n"
                                "\"Kept\"=\"still under the foreign key\"\r\n");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\A", false));
    for (const char* name : {"Open", "Bad", "Long", "Deleted", "Other", "Kept"})
        EXPECT_FALSE(reg.ValueExists(name)) << name;
    EXPECT_EQ(reg.ReadString("Twice"), "second") << "the last definition wins, as an import";
    EXPECT_FALSE(reg.KeyExists("\\SOFTWARE\\Unclosed"));
}

TEST(Registry, MissingFileIsAnEmptyRegistryAndIsNotCreatedByReading) {
    TSandbox box;
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo", false));
    EXPECT_FALSE(box.Exists("registry.reg"));
}

TEST(Registry, CreatingAKeyRewritesTheFileKeepingEverythingElse) {
    TSandbox box;
    const std::string before = "Windows Registry Editor Version 5.00\r\n\r\n"
                               "; written by the installer\r\n" +
                               Product + "]\r\n\r\n" +
                               "[HKEY_CURRENT_USER\\Other]\r\n\"X\"=hex:01,02,\\\r\n  03\r\n";
    box.Write("registry.reg", before);
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\Result", true));
        EXPECT_EQ(reg.CurrentPath(), "SOFTWARE\\Orvisoft\\Zarvo\\Files\\Result");
    }
    const std::string after = box.Read("registry.reg");
    ASSERT_EQ(after.compare(0, before.size(), before), 0) << after;
    EXPECT_EQ(after.substr(before.size()),
              "\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\Result]\r\n");

    // Opening it again changes nothing.
    TRegistry again;
    ASSERT_TRUE(again.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\Result", true));
    EXPECT_EQ(box.Read("registry.reg"), after);
}

TEST(Registry, AReadOnlyFileIsLeftAloneAndTheKeyDoesNotOpen) {
    TSandbox box;
    box.WriteRegistry(Product + "]\r\n");
    const std::string before = box.Read("registry.reg");
    ASSERT_EQ(::chmod(box.RegistryFile().c_str(), 0444), 0);
    TRegistry reg;
    EXPECT_FALSE(reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\Rule", true));
    EXPECT_TRUE(reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo", false));
    EXPECT_EQ(box.Read("registry.reg"), before);
    EXPECT_THROW(reg.WriteString("Rule", "x"), ERegistryError);
}

TEST(Registry, WritesAndDeletesRoundTrip) {
    TSandbox box;
    box.WriteRegistry(Product + "\\Language]\r\n\"Language\"=\"English\"\r\n\r\n" + Product +
                      "\\Files\\VarLib\\Theme]\r\n\"Theme\"=dword:00000002\r\n\r\n"
                      "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Neighbour]\r\n\"N\"=\"kept\"\r\n");
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Path", true));
        reg.WriteString("Path", Utf8ToAnsi("/opt/Зарво/"));
        reg.WriteInteger("Count", -2);
        reg.WriteString("Path", "/srv/zarvo/"); // replaces, does not add
        EXPECT_THROW(reg.WriteString("Bad", "two\r\nlines"), ERegistryError);
    }
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Path", false));
        EXPECT_EQ(reg.ReadString("Path"), "/srv/zarvo/");
        EXPECT_EQ(reg.ReadInteger("Count"), -2);
        EXPECT_FALSE(reg.ValueExists("Bad"));
        EXPECT_TRUE(reg.DeleteKey("\\SOFTWARE\\Orvisoft\\Zarvo"));
        EXPECT_FALSE(reg.DeleteKey("\\SOFTWARE\\Orvisoft\\Zarvo"));
        EXPECT_FALSE(reg.KeyExists("\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\VarLib\\Theme"));
        ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Neighbour", false));
        EXPECT_EQ(reg.ReadString("N"), "kept");
    }
    EXPECT_EQ(box.Read("registry.reg").find("Language"), std::string::npos);
}

TEST(Registry, ReadsUtf16ExportsAsRegeditWritesThem) {
    TSandbox box;
    const QString text = QString::fromUtf8("Windows Registry Editor Version 5.00\r\n\r\n"
                                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orvisoft\\Zarvo\\"
                                           "Language]\r\n\"Language\"=\"Russian\"\r\n");
    std::string bytes = "\xFF\xFE";
    for (QChar c : text) {
        bytes += static_cast<char>(c.unicode() & 0xFF);
        bytes += static_cast<char>(c.unicode() >> 8);
    }
    box.Write("registry.reg", bytes);
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Language", false));
    EXPECT_EQ(reg.ReadString("Language"), "Russian");
}

TEST(Registry, TheNewKeysAreWrittenInOneGo) {
    TSandbox box;
    box.WriteRegistry(Product + "\\Path]\r\n\"Path\"=\"/srv/\"\r\n");
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo", false));
        for (const char* key : {"Result", "Rule", "FFF"}) {
            reg.CloseKey();
            ASSERT_TRUE(
                reg.OpenKey(std::string("\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\") + key, true));
            EXPECT_FALSE(reg.HasSubKeys());
        }
        EXPECT_TRUE(reg.KeyExists("\\SOFTWARE\\Orvisoft\\Zarvo\\Files"));
        reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Files", false);
        EXPECT_TRUE(reg.HasSubKeys()) << "keys still to be written count";
        EXPECT_EQ(box.Read("registry.reg").find("Files"), std::string::npos)
            << "nothing is written while the keys are being opened";
    }
    const std::string written = box.Read("registry.reg");
    for (const char* key : {"Result]", "Rule]", "FFF]"})
        EXPECT_NE(written.find(std::string("\\Files\\") + key), std::string::npos) << key;
    for (int i = 0; i < 10; ++i) {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Path", false));
        EXPECT_EQ(reg.ReadString("Path"), "/srv/");
        EXPECT_TRUE(reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\Rule", true));
    }
    EXPECT_EQ(box.Read("registry.reg"), written);

    // A change made by someone else is seen, even one of the same length a moment later.
    box.WriteRegistry(Product + "\\Path]\r\n\"Path\"=\"/srw/\"\r\n");
    TRegistry reg;
    ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Path", false));
    EXPECT_EQ(reg.ReadString("Path"), "/srw/");
}

TEST(Registry, AFileThatWouldNotComeBackAsItWasIsNeverRewritten) {
    // Lone surrogates and an odd last byte: decoding and encoding again would change them.
    QFile file(ZARVO_SOURCE_DIR "/fuzz/corpus/fuzz_registry/reg_utf16_invalid.reg");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const std::string bytes = file.readAll().toStdString();
    TSandbox box;
    box.Write("registry.reg", bytes);
    {
        TRegistry reg;
        ASSERT_TRUE(reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo", false));
        EXPECT_EQ(reg.ReadString("Version"), "1");
        EXPECT_FALSE(reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\Result", true));
        EXPECT_THROW(reg.WriteString("Version", "2"), ERegistryError);
        EXPECT_FALSE(reg.DeleteKey("\\SOFTWARE\\Orvisoft\\Zarvo"));
    }
    EXPECT_EQ(box.Read("registry.reg"), bytes);
}

TEST(Registry, ADeviceAFifoOrAFolderIsAnEmptyRegistryThatIsNotWritten) {
    TSandbox box;
    const std::string fifo = box.Root() + "fifo.reg";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    box.Write("folder.reg/inside", "");
    for (const std::string& path : {std::string("/dev/zero"), fifo, box.Root() + "folder.reg"}) {
        box.SetEnv("ZARVO_REGISTRY", path);
        // /dev/zero grew without bound and a FIFO without a writer hung; the child has half a
        // minute for what takes a moment.
        EXPECT_EQ(InChild([] {
                      TRegistry reg;
                      return !reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo", false) &&
                                     !reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\Rule", true)
                                 ? 0
                                 : 1;
                  }),
                  0)
            << path;
    }
    // A FIFO with a writer is read like a file. The writer holds the FIFO open until the data
    // has been taken, so the reader finds it whenever it opens.
    box.SetEnv("ZARVO_REGISTRY", fifo);
    EXPECT_EQ(InChild([&] {
                  const std::string text = "Windows Registry Editor Version 5.00\r\n\r\n" +
                                           Product + "]\r\n\"Path\"=\"/p/\"\r\n";
                  int fd = open(fifo.c_str(), O_RDWR);
                  if (fd < 0 || write(fd, text.data(), text.size()) != ssize_t(text.size()))
                      return 2;
                  if (fork() == 0) {
                      for (int waited = 0; waited < 3000; ++waited) {
                          int left = 0;
                          if (ioctl(fd, FIONREAD, &left) != 0 || left == 0)
                              break;
                          usleep(10000);
                      }
                      _exit(0);
                  }
                  close(fd);
                  TRegistry reg;
                  const bool ok = reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo", false) &&
                                  reg.ReadString("Path") == "/p/";
                  return ok ? 0 : 1;
              }),
              0);
}

// Read as empty, an oversized registry made the trainer run with defaults and the Uninstaller
// skip its steps, both without a word.
TEST(Registry, AnOversizedFileIsAnErrorNamingItAndIsNeverWritten) {
    TSandbox box;
    const std::string big =
        box.Write("big.reg", "Windows Registry Editor Version 5.00\r\n\r\n" + Product + "]\r\n");
    ASSERT_EQ(truncate(big.c_str(), 9 * 1024 * 1024), 0);
    box.SetEnv("ZARVO_REGISTRY", big);
    TRegistry reg;
    try {
        reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo", false);
        ADD_FAILURE() << "no error";
    } catch (const ERegistryError& e) {
        EXPECT_NE(std::string(e.what()).find("registry file " + big), std::string::npos)
            << e.what();
    }
    EXPECT_THROW(reg.KeyExists("\\SOFTWARE"), ERegistryError);
    EXPECT_THROW(reg.OpenKey("\\SOFTWARE\\Orvisoft\\Zarvo\\Files\\Rule", true), ERegistryError);
    struct stat st;
    ASSERT_EQ(stat(big.c_str(), &st), 0);
    EXPECT_EQ(st.st_size, 9 * 1024 * 1024);
}
