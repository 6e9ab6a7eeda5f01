#include "startup/Startup.h"
#include "app/Globals.h"
#include "config/Config.h"
#include "startup/Trainer.h"
#include "support/Sandbox.h"

#include <QLockFile>
#include <gtest/gtest.h>
#include <sstream>
#include <unistd.h>

TEST(SystemRequirements, BoundariesOfScreenAndDepth) {
    EXPECT_TRUE(SystemRequirementsMet(640, 400, 8));
    EXPECT_FALSE(SystemRequirementsMet(639, 400, 8));
    EXPECT_FALSE(SystemRequirementsMet(640, 399, 8));
    EXPECT_FALSE(SystemRequirementsMet(640, 400, 4));
    EXPECT_FALSE(SystemRequirementsMet(640, 400, 7));
}

TEST(CommandLine, OptionsAndMistakes) {
    TStartupOptions o = ParseCommandLine({"--content", "/x", "--print-config"});
    EXPECT_EQ(o.ContentDir, "/x");
    EXPECT_TRUE(o.PrintConfig);
    EXPECT_TRUE(o.Error.empty());
    EXPECT_FALSE(ParseCommandLine({"--content"}).Error.empty());
    EXPECT_FALSE(ParseCommandLine({"--bogus"}).Error.empty());
    EXPECT_EQ(ParseCommandLine({"--content=/y"}).ContentDir, "/y");
}

TEST(PrintConfig, BundledContentDirectoryBecomesTheProgramFolder) {
    TSandbox box;
    box.Write("content/Config.fcf", "[Files]\r\nVarLib=CD\r\nRule=CD\r\nFFF==\r\n");
    TStartupOptions o;
    o.ContentDir = box.ContentDir();
    std::ostringstream out, err;
    EXPECT_EQ(PrintConfig(o, "/nonexistent/bin", out, err), 0) << err.str();
    const std::string text = out.str();
    EXPECT_NE(text.find("VarLib=CD\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Path=" + box.ContentDir() + "\n"), std::string::npos) << text;
    EXPECT_NE(text.find("GetResultFile=" + box.ContentDir() + "Zarvo.rez\n"), std::string::npos)
        << text;
    EXPECT_NE(text.find("RegistryLanguage=\n"), std::string::npos) << text;
    EXPECT_TRUE(err.str().empty()) << err.str();
}

TEST(PrintConfig, AnOversizedRegistryIsAnErrorWithItsName) {
    TSandbox box;
    const std::string big = box.Write("registry.reg", "Windows Registry Editor Version 5.00\r\n");
    ASSERT_EQ(truncate(big.c_str(), 9 * 1024 * 1024), 0);
    TStartupOptions o;
    o.ContentDir = box.ContentDir();
    std::ostringstream out, err;
    EXPECT_EQ(PrintConfig(o, "/nonexistent/bin", out, err), 1);
    EXPECT_NE(err.str().find("registry file " + big), std::string::npos) << err.str();
}

TEST(InstanceLock, OnlyALockHeldByAnotherCopyRefusesTheStart) {
    TSandbox box;
    const std::string lock = box.Root() + "zarvo.lock";
    QLockFile other(QString::fromStdString(lock));
    ASSERT_TRUE(other.tryLock(0));
    EXPECT_FALSE(TTrainer().AcquireInstanceLock(lock));
    other.unlock();
    {
        TTrainer first;
        EXPECT_TRUE(first.AcquireInstanceLock(lock));
        EXPECT_FALSE(TTrainer().AcquireInstanceLock(lock));
    }
    EXPECT_TRUE(TTrainer().AcquireInstanceLock(lock)) << "freed with the first copy";
    // A folder that cannot hold the lock says nothing about another copy.
    EXPECT_TRUE(TTrainer().AcquireInstanceLock(box.Root() + "missing/zarvo.lock"));
}
