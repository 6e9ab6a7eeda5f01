#include "content/Task.h"
#include "LibraryFiles.h"
#include "app/Globals.h"
#include "app/Strings.h"
#include "platform/Files.h"
#include "support/MessageRecorder.h"
#include "support/Sandbox.h"

#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

std::string VarLib(TSandbox& box, const std::vector<std::string>& lines,
                   const std::string& signature = VarLibSignature) {
    return platform::FromNativePath(box.Write("content/Zarvo.ff", Library(signature, lines)));
}

// The input/output box naming `path` must have been shown exactly `times` times.
void ExpectIOErrors(const std::string& path, std::size_t times = 1) {
    std::vector<TRecordedBox> boxes = Recorder().Take();
    ASSERT_EQ(boxes.size(), times);
    for (const TRecordedBox& b : boxes) {
        EXPECT_EQ(b.Caption, strFileIOError);
        EXPECT_EQ(b.Text, Title + "\r\n" + strFileIOErrorMessage1 + " " + path + " " +
                              strFileIOErrorMessage2);
    }
    EXPECT_TRUE(GlobalFailure);
}

} // namespace

TEST(VariantLibrary, LoadsTheWholeTree) {
    TSandbox box;
    std::string path =
        VarLib(box, {"%C 5 class ", "%TCommas", "%V12 First variant", "%XOne, two.",
                     CheckPoints({Group(4, 0, '@', 0, "ZP1"), Group(0, 7, ';', ':', " A ")}),
                     "%X Rome", "%V-3 ", "%TSpelling", "%C6", "%%STOP", "%Cnever read"});
    TShownTask task(path);
    EXPECT_EQ(Recorder().Pending(), 0u);
    EXPECT_FALSE(GlobalFailure);
    ASSERT_EQ(task.Classes.size(), 2u);
    const TClass& c = task.Classes[0];
    EXPECT_EQ(c.Number, 1);
    EXPECT_EQ(c.Name, "5 class");
    EXPECT_EQ(task.Classes[1].Number, 2);
    ASSERT_EQ(c.Themes.size(), 2u);
    EXPECT_EQ(c.Themes[1].Number, 2);
    EXPECT_EQ(c.Themes[1].Name, "Spelling");
    const TTheme& t = c.Themes[0];
    ASSERT_EQ(t.Variants.size(), 2u);
    EXPECT_EQ(t.Variants[0].Number, 12);
    EXPECT_EQ(t.Variants[0].Name, "First variant");
    EXPECT_EQ(t.Variants[1].Number, -3);
    EXPECT_EQ(t.Variants[1].Name, "");
    const TVariant& v = t.Variants[0];
    ASSERT_EQ(v.Examples.size(), 2u);
    EXPECT_EQ(v.Examples[1].Text, "Rome"); // the space kept it from reading as check points
    const TExample& e = v.Examples[0];
    EXPECT_EQ(e.Text, "One, two.");
    ASSERT_EQ(e.CheckPoints.size(), 2u);
    EXPECT_EQ(e.CheckPoints[0].Position, 4);
    EXPECT_EQ(e.CheckPoints[0].Kind, 0);
    EXPECT_EQ(e.CheckPoints[0].Alternative1, '@');
    EXPECT_EQ(e.CheckPoints[0].Alternative2, 0);
    EXPECT_EQ(e.CheckPoints[0].Rule(), "ZP1");
    EXPECT_EQ(e.CheckPoints[1].Position, 26); // stored as 0
    EXPECT_EQ(e.CheckPoints[1].Kind, 0);      // 7 is no kind
    EXPECT_EQ(e.CheckPoints[1].Alternative2, ':');
    EXPECT_EQ(e.CheckPoints[1].Rule(), "A");
}

TEST(VariantLibrary, EndMarksAndEmptyLibrary) {
    TSandbox box;
    for (const char* mark : {"%%STOP", "STOP", "%", "S"}) {
        TShownTask task(VarLib(box, {"%Cone", mark, "%Ctwo"}));
        EXPECT_EQ(task.Classes.size(), 1u) << mark;
    }
    TShownTask empty(VarLib(box, {"%%STOP"}));
    EXPECT_TRUE(empty.Classes.empty());
    EXPECT_EQ(Recorder().Pending(), 0u);
    EXPECT_FALSE(GlobalFailure);
    // Only the line-within-%%STOP direction counts here.
    std::string path = VarLib(box, {"%Cone", "%%STOP ", "%Ctwo"});
    TShownTask spaced(path);
    EXPECT_EQ(spaced.Classes.size(), 1u);
    ExpectIOErrors(path);
}

TEST(VariantLibrary, ErrorsEndTheReadingAndKeepWhatCameBefore) {
    struct Case {
        const char* what;
        std::vector<std::string> lines;
        std::size_t classes;
        std::int32_t failedLine;
    };
    const std::vector<Case> cases = {
        {"empty line", {"%Cone", ""}, 1, 3},
        {"unknown line", {"%Cone", "%Ctwo", "hello"}, 2, 4},
        {"space before the number", {"%Cone", "%Tt", "%V 12 name"}, 1, 4},
        {"no space after the number", {"%Cone", "%Tt", "%V12"}, 1, 4},
        {"two signs", {"%Cone", "%Tt", "%V+-5 name"}, 1, 4},
        {"number too large", {"%Cone", "%Tt", "%V99999999999 name"}, 1, 4},
        {"theme before any class", {"%Tt", "%Cone"}, 0, 2},
        {"variant before any theme", {"%Cone", "%V1 v"}, 1, 3},
        {"example before any variant", {"%Cone", "%Tt", "%Xtext"}, 1, 4},
        {"check points before any example",
         {"%Cone", "%Tt", "%V1 v",
          "%XR\x01"
          "12345678"},
         1,
         5},
        {"check points of an earlier variant",
         {"%Cone", "%Tt", "%V1 v", "%Xa", "%V2 w", CheckPoints({Group(1, 0, 'b', 0, "")})},
         1,
         7},
    };
    for (const Case& c : cases) {
        TSandbox box;
        std::string path = VarLib(box, c.lines);
        TShownTask task(path);
        EXPECT_EQ(task.Classes.size(), c.classes) << c.what;
        EXPECT_EQ(task.FailedLine, c.failedLine) << c.what;
        ExpectIOErrors(path);
    }
}

TEST(VariantLibrary, WrongSignatureOrMissingFile) {
    TSandbox box;
    std::string path = VarLib(box, {"%Cone", "%%STOP"}, "ZARVOFIL");
    TShownTask task(path);
    EXPECT_TRUE(task.Classes.empty());
    ExpectIOErrors(path);

    GlobalFailure = false;
    std::string missing = platform::FromNativePath(box.ContentDir() + "nothing.ff");
    task.OpenFFile(missing);
    EXPECT_TRUE(task.Classes.empty());
    ExpectIOErrors(missing);

    // Without a path and without a configuration there is nothing to read.
    GlobalFailure = false;
    try {
        TShownTask none("");
        FAIL() << "no exception";
    } catch (const EFileError& e) {
        EXPECT_STREQ(e.what(), "No ff file found!");
    }
    EXPECT_EQ(Recorder().Pending(), 0u);
}

TEST(VariantLibrary, CheckPointLines) {
    TSandbox box;
    const std::string three = CheckPoints(
        {Group(1, 1, 'x', 0, "R1"), Group(2, 2, 'y', 0, "R2"), Group(3, 3, 'z', 0, "R3")});
    std::string shortLine = CheckPoints({Group(1, 1, 'q', 0, "Q"), Group(2, 1, 'q', 0, "Q")});
    shortLine.resize(shortLine.size() - 1);
    std::string path = VarLib(
        box, {"%Cc", "%Tt", "%V1 v",
              // Two lines after one example: the second sets the count and overwrites; a kind it
              // does not give stays as the first line left it.
              "%Xabcd", three, CheckPoints({Group(4, 9, 'w', 0, "W"), Group(1, 9, 'v', 0, "")}),
              // No check points at all.
              "%Xefg", CheckPoints({}),
              // A line shorter than its count says: that line alone is an error.
              "%Xhij", three, shortLine, "%XR",
              // Lone CR and LF bytes are values, not line ends.
              "%Xklmnopqrstuvwxyz",
              CheckPoints({Group(13, 0, 'a', 0, ""), Group(10, 0, 'b', 0, "")}), "%%STOP"});
    TShownTask task(path);
    ExpectIOErrors(path, 2);
    EXPECT_EQ(task.CheckPointFaults, (std::vector<std::int32_t>{12, 13}));
    EXPECT_EQ(task.FailedLine, 0);
    const auto& ex = task.Classes.at(0).Themes.at(0).Variants.at(0).Examples;
    ASSERT_EQ(ex.size(), 4u);
    ASSERT_EQ(ex[0].CheckPoints.size(), 2u);
    EXPECT_EQ(ex[0].CheckPoints[0].Position, 4);
    EXPECT_EQ(ex[0].CheckPoints[0].Kind, 1);
    EXPECT_EQ(ex[0].CheckPoints[0].Rule(), "W");
    EXPECT_EQ(ex[0].CheckPoints[1].Kind, 2);
    EXPECT_EQ(ex[0].CheckPoints[1].Alternative1, 'v');
    EXPECT_TRUE(ex[1].CheckPoints.empty());
    // The faulty lines left the example as the good line made it.
    ASSERT_EQ(ex[2].CheckPoints.size(), 3u);
    EXPECT_EQ(ex[2].CheckPoints[2].Rule(), "R3");
    ASSERT_EQ(ex[3].CheckPoints.size(), 2u);
    EXPECT_EQ(ex[3].CheckPoints[0].Position, 13);
    EXPECT_EQ(ex[3].CheckPoints[1].Position, 10);
}

// The check points of a variant are kept together: each example must still get its own, across
// variants, themes and classes, and when an error ends the reading in the middle of a variant.
TEST(VariantLibrary, CheckPointsStayWithTheirExamples) {
    TSandbox box;
    auto one = [](int position, const char* rule) {
        return CheckPoints({Group(position, 0, ',', 0, rule)});
    };
    std::string path =
        VarLib(box, {"%Cc",       "%Tt",     "%V1 v", "%Xa1",      one(1, "A"), "%Xa2",      "%Xa3",
                     one(2, "B"), "%V2 w",   "%Xb1",  one(3, "C"), "%Tu",       "%V1 x",     "%Xc1",
                     one(4, "D"), "%Cd",     "%Tt",   "%V1 y",     "%Xd1",      one(5, "E"), "%Xd2",
                     one(6, "F"), "%Vbad z", "%Xe1",  "%%STOP"});
    TShownTask task(path);
    ExpectIOErrors(path, 1);
    EXPECT_NE(task.FailedLine, 0);
    std::string seen;
    for (const TClass& c : task.Classes)
        for (const TTheme& t : c.Themes)
            for (const TVariant& v : t.Variants)
                for (const TExample& e : v.Examples) {
                    seen += std::string(e.Text) + ":";
                    for (const TCheckPoint& cp : e.CheckPoints)
                        seen += std::string(cp.Rule()) + std::to_string(cp.Position);
                    seen += " ";
                }
    EXPECT_EQ(seen, "a1:A1 a2: a3:B2 b1:C3 c1:D4 d1:E5 d2:F6 ");
}

TEST(VariantLibrary, LongLinesAreCut) {
    TSandbox box;
    std::string longText(300, 'a');
    longText[254] = 'E'; // byte 257 of the line, the last one kept
    std::string name(260, 'n');
    std::string path =
        VarLib(box, {"%C" + longText, "%T" + longText, "%V7 " + name, "%X" + longText, "%%STOP"});
    TShownTask task(path);
    EXPECT_EQ(Recorder().Pending(), 0u);
    const TClass& c = task.Classes.at(0);
    EXPECT_EQ(c.Name.size(), 255u);
    EXPECT_EQ(c.Name.back(), 'E');
    EXPECT_EQ(c.Themes.at(0).Name.size(), 255u);
    // The variant name runs from the space (byte 4) up to byte 254.
    EXPECT_EQ(c.Themes[0].Variants.at(0).Name, std::string(250, 'n'));
    ASSERT_EQ(c.Themes[0].Variants[0].Examples.size(), 1u);
    EXPECT_EQ(c.Themes[0].Variants[0].Examples[0].Text.size(), 255u);
}

TEST(VariantLibrary, ReloadReplacesTheTree) {
    TSandbox box;
    TShownTask task(VarLib(box, {"%Cone", "%Ctwo", "%%STOP"}));
    ASSERT_EQ(task.Classes.size(), 2u);
    task.OpenFFile(VarLib(box, {"%Cthree", "%%STOP"}));
    ASSERT_EQ(task.Classes.size(), 1u);
    EXPECT_EQ(task.Classes[0].Name, "three");
    EXPECT_EQ(task.Classes[0].Number, 1);
}

TEST(VariantLibrary, ReadErrorsAndFoldersAreInputOutputErrors) {
    TSandbox box;
    // Reading the start of a process's own memory fails with an input/output error.
    for (const std::string& path :
         {std::string("/proc/self/mem"), platform::FromNativePath(box.ContentDir())}) {
        GlobalFailure = false;
        TShownTask task(path);
        EXPECT_TRUE(task.Classes.empty());
        ExpectIOErrors(path);
    }
}

TEST(VariantLibrary, ExamplesReadBeforeAnErrorStay) {
    TSandbox box;
    std::string path =
        VarLib(box, {"%Cc", "%Tt", "%V1 v", "%Xa", CheckPoints({Group(1, 1, 'b', 0, "R")}), "%Xcd",
                     "%V2 w", "%Xe", "%Xf", "%V 3 bad number"});
    TShownTask task(path);
    ExpectIOErrors(path);
    EXPECT_EQ(task.FailedLine, 11);
    const auto& variants = task.Classes.at(0).Themes.at(0).Variants;
    ASSERT_EQ(variants.size(), 2u);
    ASSERT_EQ(variants[0].Examples.size(), 2u);
    ASSERT_EQ(variants[0].Examples[0].CheckPoints.size(), 1u);
    EXPECT_EQ(variants[0].Examples[0].CheckPoints[0].Rule(), "R");
    EXPECT_EQ(variants[0].Examples[1].Text, "cd");
    ASSERT_EQ(variants[1].Examples.size(), 2u);
    EXPECT_EQ(variants[1].Examples[1].Text, "f");
    EXPECT_EQ(variants[1].Examples[1].Line, 10);
}

namespace {

// A library of many examples whose lines have every length from the shortest to the longest
// kept, with check-point values that include 13 and 10; and what a load of it must give.
struct TLargeLibrary {
    std::vector<std::string> Lines = {"%Cc", "%Tt"};
    std::vector<std::pair<std::string, unsigned char>> Expected;
    TLargeLibrary() {
        for (int v = 0; v < 40; ++v) {
            Lines.push_back("%V" + std::to_string(v) + " v");
            for (int e = 0; e < 150; ++e) {
                std::size_t length = 1 + static_cast<std::size_t>(v * 150 + e) * 7 % 255;
                std::string text(length, static_cast<char>('a' + e % 26));
                auto position = static_cast<unsigned char>(1 + (v + e) % 20);
                Lines.push_back("%X" + text);
                // No CR directly before an LF: that pair would end the line.
                Lines.push_back(CheckPoints(
                    {Group(position, 0, '\r', 'x', "R"),
                     Group(static_cast<unsigned char>(position + 1), 3, '\n', '\r', " \n")}));
                Expected.emplace_back(text, position);
            }
        }
        Lines.push_back("%%STOP");
    }

    void ExpectLoaded(const TTask& task) const {
        EXPECT_EQ(Recorder().Pending(), 0u);
        const auto& variants = task.Classes.at(0).Themes.at(0).Variants;
        ASSERT_EQ(variants.size(), 40u);
        std::size_t k = 0;
        for (const TVariant& v : variants) {
            ASSERT_EQ(v.Examples.size(), 150u);
            for (const TExample& e : v.Examples) {
                const auto& [text, position] = Expected[k++];
                ASSERT_EQ(e.Text, text) << "example " << k;
                ASSERT_EQ(e.CheckPoints.size(), 2u) << "example " << k;
                EXPECT_EQ(e.CheckPoints[0].Position, position);
                EXPECT_EQ(e.CheckPoints[0].Alternative1, '\r');
                EXPECT_EQ(e.CheckPoints[1].Kind, 3);
                EXPECT_EQ(e.CheckPoints[1].Alternative1, '\n');
                EXPECT_EQ(e.CheckPoints[0].Rule(), "R");
                EXPECT_EQ(e.CheckPoints[1].Rule(), ""); // a LF in the padding trims away
            }
        }
    }
};

} // namespace

TEST(VariantLibrary, LargeLibrary) {
    TSandbox box;
    TLargeLibrary library;
    TShownTask task(VarLib(box, library.Lines));
    library.ExpectLoaded(task);
}

TEST(VariantLibrary, LargeLibraryEndedEarlyOrBrokenOnTheWay) {
    // The reading must stop cleanly wherever the lines end it, and what came before stays.
    TSandbox box;
    TLargeLibrary library;
    const std::size_t middle = library.Lines.size() / 2;
    ASSERT_EQ(library.Lines[middle].substr(0, 2), "%X");
    for (const std::string& mark :
         {std::string("%%STOP"), std::string("%Q unknown"), std::string("%X\x1A")}) {
        std::vector<std::string> lines(library.Lines.begin(), library.Lines.begin() + middle);
        lines.push_back(mark);
        lines.insert(lines.end(), library.Lines.begin() + middle, library.Lines.end());
        std::string path = VarLib(box, lines);
        GlobalFailure = false;
        TShownTask task(path);
        if (mark[1] == 'Q')
            ExpectIOErrors(path);
        else
            EXPECT_EQ(Recorder().Pending(), 0u) << mark;
        std::size_t examples = 0;
        for (const TVariant& v : task.Classes.at(0).Themes.at(0).Variants)
            examples += v.Examples.size();
        // After a 26 the line "%X" loses its last byte and reads as an end mark.
        EXPECT_EQ(examples, std::count_if(lines.begin(), lines.begin() + middle,
                                          [](const std::string& l) {
                                              return l.substr(0, 2) == "%X" && l[2] != 'R';
                                          }))
            << mark;
    }
}

TEST(VariantLibrary, LibraryWithoutAKnownSizeFromAPipe) {
    // A pipe tells no size: the reader's buffer grows while the library comes in.
    TSandbox box;
    TLargeLibrary library;
    const std::string fifo = box.Root() + "Zarvo.ff";
    ASSERT_EQ(::mkfifo(platform::NativePath(fifo).c_str(), 0600), 0);
    // A reader of the test's own lets the writer open before the library does; it never reads.
    int keep = ::open(platform::NativePath(fifo).c_str(), O_RDONLY | O_NONBLOCK);
    int out = ::open(platform::NativePath(fifo).c_str(), O_WRONLY);
    ASSERT_GE(keep, 0);
    ASSERT_GE(out, 0);
    const std::string bytes = Library(VarLibSignature, library.Lines);
    std::thread writer([&] {
        for (std::size_t done = 0; done < bytes.size();) {
            ssize_t n = ::write(out, bytes.data() + done, bytes.size() - done);
            if (n > 0)
                done += static_cast<std::size_t>(n);
        }
        ::close(out);
    });
    TShownTask task(fifo);
    writer.join();
    ::close(keep);
    library.ExpectLoaded(task);
}

TEST(VariantLibrary, DeviceOrPipeWithoutWriterIsAnInputOutputError) {
    TSandbox box;
    const std::string fifo = platform::FromNativePath(box.Root() + "Zarvo.ff");
    ASSERT_EQ(::mkfifo(platform::NativePath(fifo).c_str(), 0600), 0);
    const auto start = std::chrono::steady_clock::now();
    for (const std::string& path : {std::string("/dev/zero"), fifo}) {
        GlobalFailure = false;
        TShownTask task(path);
        EXPECT_TRUE(task.Classes.empty());
        ExpectIOErrors(path);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
}
