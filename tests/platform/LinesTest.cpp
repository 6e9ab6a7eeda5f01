#include "platform/Lines.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using platform::SplitLines;

namespace {
std::vector<std::string> Lines(std::string_view text) {
    const std::vector<std::string_view> views = SplitLines(text);
    return {views.begin(), views.end()};
}
using L = std::vector<std::string>;
} // namespace

TEST(SplitLines, WindowsAndUnixBreaksAloneCrStaysInTheLine) {
    EXPECT_EQ(Lines(""), L{});
    EXPECT_EQ(Lines("a"), L{"a"});
    EXPECT_EQ(Lines("a\r\nb\nc"), (L{"a", "b", "c"}));
    EXPECT_EQ(Lines("a\r\n"), L{"a"}) << "a break at the end opens no further line";
    EXPECT_EQ(Lines("\n\r\n\n"), (L{"", "", ""}));
    EXPECT_EQ(Lines("a\rb\r\r\n"), (L{"a\rb\r"})) << "only the CR right before the LF goes";
    EXPECT_EQ(Lines("a\r"), L{"a"}) << "a file cut between CR and LF";
    EXPECT_EQ(Lines(std::string_view("x\0y\n", 4)), L{std::string("x\0y", 3)});
}
