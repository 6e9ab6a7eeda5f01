#include "platform/Screen.h"

#include <gtest/gtest.h>

using namespace platform;

TEST(Screen, OverrideAndEnvironmentFormat) {
    auto m = ParseScreenMetrics("1024x768");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->Width, 1024);
    EXPECT_EQ(m->Height, 768);
    EXPECT_EQ(m->BitsPerPixel, 32);
    m = ParseScreenMetrics("640x400x8");
    ASSERT_TRUE(m);
    EXPECT_EQ(m->BitsPerPixel, 8);
    for (const char* bad : {"", "1024", "1024x", "x768", "1024x768x", "1024X768", "0x400",
                            "1024x768 ", "-1x5", "99999999x1"})
        EXPECT_FALSE(ParseScreenMetrics(bad)) << bad;

    SetScreenOverride(TScreenMetrics{800, 600, 16});
    EXPECT_EQ(GetScreenMetrics().Width, 800);
    EXPECT_EQ(GetScreenMetrics().BitsPerPixel, 16);
    SetScreenOverride(std::nullopt);
}
