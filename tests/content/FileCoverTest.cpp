#include "content/FileCover.h"
#include "LibraryFiles.h"
#include "app/Globals.h"
#include "platform/Files.h"
#include "support/MessageRecorder.h"
#include "support/Sandbox.h"

#include <chrono>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <random>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

// Every line ReadRawLine gives until the file reports its end.
std::vector<std::string> RawLines(TSandbox& box, const std::string& bytes) {
    platform::TReadErrors Faults;
    TTextFile f(platform::FromNativePath(box.Write("f.bin", bytes)));
    std::vector<std::string> lines;
    std::string line;
    while (!f.Eof()) {
        TFileCover::ReadRawLine(f, line, Faults);
        lines.push_back(line);
    }
    return lines;
}

using Lines = std::vector<std::string>;

} // namespace

TEST(ReadRawLine, OnlyTheCrLfPairEndsALine) {
    TSandbox box;
    EXPECT_EQ(RawLines(box, "AB\r\n\r\n\rA\n\r\nlast\r\n"), (Lines{"AB", "", "\rA\n", "last"}));
    // A CR followed by anything but LF, and an LF after anything but CR, are bytes of the line.
    EXPECT_EQ(RawLines(box, "\r\r\n\n\n\r\n"), (Lines{"\r", "\n\n"}));
}

TEST(ReadRawLine, UnterminatedLastLineLosesItsLastByte) {
    TSandbox box;
    EXPECT_EQ(RawLines(box, "one\r\n%%STOP"), (Lines{"one", "%%STO"}));
    // A single byte left is kept: the byte read at the end is the end-of-file character.
    EXPECT_EQ(RawLines(box, "one\r\nX"), (Lines{"one", "X"}));
}

TEST(ReadRawLine, ByteTwentySixEndsTheFile) {
    TSandbox box;
    EXPECT_EQ(RawLines(box, "first\r\nAB\x1A"
                            "CD\r\nnever\r\n"),
              (Lines{"first", "A"}));
    EXPECT_EQ(RawLines(box, "first\r\n\x1Anever\r\n"), (Lines{"first"}));
}

TEST(ReadRawLine, LongLines) {
    TSandbox box;
    std::string a(70000, 'a');
    EXPECT_EQ(RawLines(box, a + "\r\nz\r\n"), (Lines{a, "z"}));
    EXPECT_EQ(RawLines(box, a + "\rb\r\n"), (Lines{a + "\rb"}));
    EXPECT_EQ(RawLines(box, a + "d"), (Lines{a}));
}

TEST(ReadRawLine, AgreesWithTheByteByByteRule) {
    // The byte-by-byte reading the format is defined by: a 26 ends the data, only CR LF ends a
    // line, and the byte read as the file ends is lost (past the end the run-time reads a 26).
    auto reference = [](std::string bytes) {
        bytes = bytes.substr(0, bytes.find('\x1A'));
        std::vector<std::string> lines;
        std::size_t at = 0;
        auto read = [&] { return at < bytes.size() ? bytes[at++] : '\x1A'; };
        while (at < bytes.size()) {
            std::string line;
            char previous = read();
            for (;;) {
                char current = read();
                if (previous == '\r' && current == '\n')
                    break;
                line += previous;
                if (at >= bytes.size())
                    break;
                previous = current;
            }
            lines.push_back(line);
        }
        return lines;
    };
    TSandbox box;
    const char alphabet[] = {'\r', '\n', 'a', '\r', '\n', '\xE0', ' '};
    std::mt19937 rng(7);
    for (int round = 0; round < 24; ++round) {
        // Many line-end bytes; every other file has a 26 among its last bytes.
        std::size_t size = round < 12 ? 1 + rng() % 200 : 60000 + rng() % 20000;
        std::string bytes(size, 'x');
        for (char& c : bytes)
            if (rng() % 3 == 0)
                c = alphabet[rng() % 7];
        if (round % 2)
            bytes[size - 1 - rng() % std::min<std::size_t>(size, 16)] = '\x1A';
        const std::string where = "round " + std::to_string(round);
        EXPECT_EQ(RawLines(box, bytes), reference(bytes)) << where;

        // The same bytes behind a plain first line, unscrambled by the file itself: the lines
        // are the same, each transformed.
        platform::TReadErrors Faults;
        TTextFile f(platform::FromNativePath(box.Write("u.bin", "SIGN\n" + bytes)));
        std::string sign;
        TFileCover::ReadPlainLine(f, sign);
        f.Unscramble();
        Lines lines;
        while (!f.Eof())
            lines.emplace_back(TFileCover::ReadLineView(f, Faults));
        Lines expected = reference(bytes);
        for (std::string& l : expected)
            l = TFileCover::TransformText(l);
        EXPECT_EQ(lines, expected) << where;
    }
}

TEST(ReadLineView, UnscrambledLinesFollowTheSameRules) {
    TSandbox box;
    // Every line after a plain first one, read as views of a file that undoes the content
    // transformation itself: lone CR and LF bytes, the lost last byte and the byte 26 must come
    // out as ReadRawLine gives them.
    const std::string head = "SIGN\r\n";
    const std::string a(1000, 'a');
    const std::string b(3000, 'b');
    const std::vector<std::pair<std::string, Lines>> cases = {
        {a + "\r\nz\r\n", {a, "z"}},
        {a + "\rq\r\n\n\r\n", {a + "\rq", "\n"}},
        {"x\r\n" + b + "\r\n" + b + "\r\ntail", {"x", b, b, "tai"}},
        {"one\r\nt\x1Awo\r\nnever\r\n", {"one", "t"}},
    };
    for (const auto& [plain, expected] : cases) {
        platform::TReadErrors Faults;
        TTextFile f(
            platform::FromNativePath(box.Write("v.bin", head + TFileCover::TransformText(plain))));
        std::string line, spill;
        TFileCover::ReadPlainLine(f, line);
        ASSERT_EQ(line, "SIGN");
        f.Unscramble();
        Lines lines;
        while (!f.Eof())
            lines.emplace_back(TFileCover::ReadLineView(f, Faults));
        EXPECT_EQ(lines, expected) << expected.front().substr(0, 4);
    }
}

TEST(ReadPlainLine, SignatureEndsAtAnyLineEnd) {
    TSandbox box;
    for (const char* tail : {"\r\n", "\n", "\r", ""}) {
        TTextFile f(
            platform::FromNativePath(box.Write("s.bin", std::string("ZARVOFILE") + tail + "next")));
        std::string line;
        TFileCover::ReadPlainLine(f, line);
        EXPECT_EQ(line, tail[0] ? "ZARVOFILE" : "ZARVOFILEnext") << "tail " << int(tail[0]);
        if (tail[0]) {
            std::string rest;
            TFileCover::ReadPlainLine(f, rest);
            EXPECT_EQ(rest, "next");
        }
    }
}

TEST(Transform, MirrorsPrintableBytesAndKeepsControlBytes) {
    EXPECT_EQ(TFileCover::TransformChar(31), 31);
    EXPECT_EQ(static_cast<unsigned char>(TFileCover::TransformChar(32)), 255);
    EXPECT_EQ(TFileCover::TransformChar(static_cast<char>(255)), 32);
    EXPECT_EQ(static_cast<unsigned char>(TFileCover::TransformChar(static_cast<char>(143))), 144);
    EXPECT_EQ(TFileCover::TransformText("abc"), "\xBE\xBD\xBC");
    std::string all;
    for (int b = 0; b < 256; ++b)
        all += static_cast<char>(b);
    EXPECT_EQ(TFileCover::TransformText(TFileCover::TransformText(all)), all);
    // Long strings are transformed by vector instructions the compiler chose; every byte must
    // map as a single one does, whatever its place.
    for (std::size_t shift : {0u, 5u, 70u}) {
        std::string text = std::string(shift, 'q') + all + all;
        std::string done = TFileCover::TransformText(text);
        for (int b = 0; b < 512; ++b)
            ASSERT_EQ(static_cast<unsigned char>(done[shift + b]),
                      b % 256 < 32 ? b % 256 : (31 - b) & 0xFF)
                << "byte " << b << " shift " << shift;
    }
}

TEST(IsStopLine, LooksBothWays) {
    EXPECT_TRUE(IsStopLine("%%STOP"));
    EXPECT_TRUE(IsStopLine("xx%%STOPyy"));
    EXPECT_TRUE(IsStopLine("STOP"));
    EXPECT_TRUE(IsStopLine("%%STO"));
    EXPECT_FALSE(IsStopLine(""));
    EXPECT_FALSE(IsStopLine("%%STO P"));
    EXPECT_FALSE(IsStopLine("STOPS"));
    // The variant library's test looks one way only.
    EXPECT_TRUE(IsWithinStopText("%"));
    EXPECT_FALSE(IsWithinStopText("xx%%STOPyy"));
    EXPECT_FALSE(IsWithinStopText(""));
}

TEST(TextFile, WhatIsNoFileOrTooLargeIsRefusedAtOnce) {
    TSandbox box;
    const std::string fifo = box.Root() + "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string sparse = box.Write("huge.ff", "");
    ASSERT_EQ(::truncate(sparse.c_str(), static_cast<off_t>(TTextFile::MaxSize) + 1), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_THROW(TTextFile(box.Root() + "missing.ff"), EInOutError);
    // A device that never ends, a folder, a file past the limit (never read: it is sparse).
    for (const std::string& path : {std::string("/dev/zero"), box.ContentDir(), sparse})
        EXPECT_THROW(TTextFile{platform::FromNativePath(path)}, EInOutError) << path;
    // A pipe without a writer is an empty file, not a wait for one.
    TTextFile empty(platform::FromNativePath(fifo));
    EXPECT_TRUE(empty.Eof());
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));
    EXPECT_FALSE(GlobalFailure);
}

TEST(TextFile, PipeWithAWriterIsReadLikeAFile) {
    TSandbox box;
    const std::string fifo = box.Root() + "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A reader of our own lets the writer open at once; it never reads.
    int keep = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    int out = ::open(fifo.c_str(), O_WRONLY);
    ASSERT_GE(keep, 0);
    ASSERT_GE(out, 0);
    const std::string line(100000, 'p');
    std::thread writer([&] {
        // Slowly, so that the reader finds the pipe empty and waits for more.
        for (const std::string& part :
             {std::string("SIGN\r\n"), line, std::string("\r\nend\r\n")}) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            for (std::size_t done = 0; done < part.size();) {
                ssize_t n = ::write(out, part.data() + done, part.size() - done);
                if (n > 0)
                    done += static_cast<std::size_t>(n);
            }
        }
        ::close(out);
    });
    platform::TReadErrors Faults;
    TTextFile f(platform::FromNativePath(fifo));
    writer.join();
    ::close(keep);
    std::string l;
    TFileCover::ReadPlainLine(f, l);
    EXPECT_EQ(l, "SIGN");
    TFileCover::ReadRawLine(f, l, Faults);
    EXPECT_EQ(l, line);
    TFileCover::ReadRawLine(f, l, Faults);
    EXPECT_EQ(l, "end");
    EXPECT_TRUE(f.Eof());
}

TEST(ReadRawLine, MissingFileRaisesOnOpen) {
    TSandbox box;
    EXPECT_THROW(TTextFile(box.Root() + "missing.ff"), EInOutError);
    EXPECT_FALSE(GlobalFailure);
}
