#include "content/FRule.h"
#include "LibraryFiles.h"
#include "app/Globals.h"
#include "app/Strings.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "support/MessageRecorder.h"
#include "support/Sandbox.h"

#include <chrono>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {

std::string RuleLib(TSandbox& box, const std::vector<std::string>& lines,
                    const std::string& signature = RuleLibSignature) {
    return platform::FromNativePath(box.Write("content/Zarvo.frf", Library(signature, lines)));
}

using Lines = std::vector<std::string>;

void ExpectOneLibraryFailure() {
    std::vector<TRecordedBox> boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].Caption, strError);
    EXPECT_EQ(boxes[0].Flags & 0xF0u, 0x10u);
    EXPECT_TRUE(GlobalFailure);
}

} // namespace

TEST(RuleLibrary, HeadersTextLinesAndLookup) {
    TSandbox box;
    TShownRules rules(
        RuleLib(box, {"orphan line before any header", "%  ZP1  ", "First line", "", "%ZP2", "only",
                      "%ZP1", "shadowed", "% ", "no name", "%%STOP", "%late"}));
    EXPECT_EQ(Recorder().Pending(), 0u);
    EXPECT_FALSE(GlobalFailure);
    ASSERT_EQ(rules.RuleRecords.size(), 4u);
    EXPECT_EQ(rules.RuleRecords[0].Name, "ZP1");
    EXPECT_EQ(rules.GetRule("ZP1"), (Lines{"First line", ""}));
    EXPECT_EQ(rules.GetRule("ZP2"), (Lines{"only"}));
    EXPECT_EQ(rules.GetRule(""), (Lines{"no name"}));
    EXPECT_EQ(rules.GetRule("zp2"),
              (Lines{platform::Utf8ToAnsi("В библиотеке правил такого правила нет...")}));
    // The list for an unknown rule stays valid while it is drawn.
    const Lines& missing = rules.GetRule("none");
    rules.GetRule("other");
    EXPECT_EQ(missing.size(), 1u);
}

TEST(RuleLibrary, StopTestLooksBothWays) {
    TSandbox box;
    TShownRules inside(RuleLib(box, {"%A", "one", "text %%STOP text", "%B"}));
    EXPECT_EQ(inside.RuleRecords.size(), 1u);
    EXPECT_EQ(inside.GetRule("A"), (Lines{"one"}));
    // "%", "%S" ... lie within %%STOP: such a header ends the library.
    TShownRules header(RuleLib(box, {"%A", "one", "%S", "two"}));
    EXPECT_EQ(header.RuleRecords.size(), 1u);
    EXPECT_EQ(Recorder().Pending(), 0u);
    // An unterminated last line loses its last byte and still ends the reading.
    std::string bytes =
        Library(RuleLibSignature, {"%A", "one"}) + TFileCover::TransformText("%%STOP");
    TShownRules cut(platform::FromNativePath(box.Write("content/cut.frf", bytes)));
    EXPECT_EQ(cut.GetRule("A"), (Lines{"one"}));
}

TEST(RuleLibrary, WrongSignatureReportsOnceAndReadsOn) {
    TSandbox box;
    TShownRules rules(RuleLib(box, {"%A", "one"}, "RULFILE"));
    EXPECT_EQ(rules.GetRule("A"), (Lines{"one"}));
    ExpectOneLibraryFailure();

    // Neither signature nor rules: still one box, since the first one set the flag.
    GlobalFailure = false;
    TShownRules nothing(RuleLib(box, {"text"}, "RULfil"));
    EXPECT_TRUE(nothing.RuleRecords.empty());
    ExpectOneLibraryFailure();

    GlobalFailure = false;
    TShownRules empty(RuleLib(box, {"%%STOP"}));
    ExpectOneLibraryFailure();
}

TEST(RuleLibrary, MissingFileIsQuiet) {
    TSandbox box;
    TShownRules rules(platform::FromNativePath(box.ContentDir() + "Zarvo.frf"));
    EXPECT_TRUE(rules.RuleRecords.empty());
    EXPECT_EQ(rules.GetRule("A").size(), 1u);
    EXPECT_EQ(Recorder().Pending(), 0u);
    EXPECT_FALSE(GlobalFailure);
}

TEST(RuleLibrary, ReadErrorsEndTheReadingSilently) {
    TSandbox box;
    const std::string fifo = box.Root() + "Zarvo.frf";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    // A read error, a device that never ends and a folder.
    for (const std::string& path : {std::string("/proc/self/mem"), std::string("/dev/zero"),
                                    platform::FromNativePath(box.ContentDir())}) {
        TShownRules rules(path);
        EXPECT_TRUE(rules.RuleRecords.empty()) << path;
    }
    EXPECT_EQ(Recorder().Pending(), 0u);
    EXPECT_FALSE(GlobalFailure);
    // A pipe without a writer reads as an empty file: no signature, no rules.
    TShownRules rules(platform::FromNativePath(fifo));
    EXPECT_TRUE(rules.RuleRecords.empty());
    ExpectOneLibraryFailure();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}
