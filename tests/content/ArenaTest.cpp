#include "content/Arena.h"
#include "content/Task.h"

#include <gtest/gtest.h>
#include <numeric>

namespace {

struct TPair {
    int A = 7;
    int B = 0;
};

std::vector<int> Values(const TPair* run, std::size_t n) {
    std::vector<int> v;
    for (std::size_t i = 0; i < n; ++i)
        v.push_back(run[i].A * 1000 + run[i].B);
    return v;
}

} // namespace

TEST(RunArena, RunsGrowKeepTheirEntriesAndNeverMoveOthers) {
    TRunArena<TPair> arena;
    TPair* first = arena.Resize(nullptr, 0, 3);
    EXPECT_EQ(Values(first, 3), (std::vector<int>{7000, 7000, 7000})); // new entries defaulted
    first[0].B = 1;
    // The latest run grows in place.
    EXPECT_EQ(arena.Append(first, 3, {1, 4}), first);
    TPair* second = arena.Resize(nullptr, 0, 2);
    second[1].B = 9;
    // The first run is no longer the latest: it moves, with its entries, and the second stays.
    TPair* moved = arena.Append(first, 4, {2, 5});
    EXPECT_NE(moved, first);
    EXPECT_EQ(Values(moved, 5), (std::vector<int>{7001, 7000, 7000, 1004, 2005}));
    EXPECT_EQ(Values(second, 2), (std::vector<int>{7000, 7009}));
    // Shrinking keeps the front; growing again defaults what comes back.
    TPair* shrunk = arena.Resize(moved, 5, 2);
    EXPECT_EQ(shrunk, moved);
    EXPECT_EQ(Values(arena.Resize(shrunk, 2, 4), 4), (std::vector<int>{7001, 7000, 7000, 7000}));
}

TEST(RunArena, RunsLargerThanABlockAndManySmallOnes) {
    TRunArena<TPair> arena;
    std::vector<std::pair<TPair*, int>> runs;
    for (int i = 0; i < 3000; ++i) {
        TPair* r = arena.Resize(nullptr, 0, 1);
        r->B = i;
        runs.emplace_back(r, i);
    }
    // One run far past the size of any block, grown one entry at a time.
    TPair* big = nullptr;
    const std::size_t n = 600000;
    for (std::size_t i = 0; i < n; ++i)
        big = arena.Append(big, i, {0, static_cast<int>(i)});
    for (std::size_t i = 0; i < n; i += 9973)
        ASSERT_EQ(big[i].B, static_cast<int>(i));
    for (const auto& [r, i] : runs)
        ASSERT_EQ(r->B, i);
    // A moved-from arena holds nothing and starts afresh.
    TRunArena<TPair> other = std::move(arena);
    EXPECT_EQ(big[n - 1].B, static_cast<int>(n - 1));
    TPair* fresh = arena.Resize(nullptr, 0, 2);
    EXPECT_EQ(Values(fresh, 2), (std::vector<int>{7000, 7000}));
}

TEST(LibraryStore, KeepsCopiesThatSurviveAMove) {
    TLibraryStore store;
    std::string text = "пример";
    std::string_view kept = store.Keep(text);
    text[0] = 'x';
    EXPECT_EQ(kept, "пример");
    EXPECT_EQ(store.Keep(""), "");

    std::span<const TExample> run;
    for (int i = 0; i < 1000; ++i)
        store.Append(run, {store.Keep(std::to_string(i)), {}, i, 0});
    TExample& last = store.Append(run, {"last", {}, 0, 0});
    std::span<TCheckPoint> cps = store.CheckPointRecords(last.CheckPoints, 2);
    cps[1] = {26, 3, '@', 0, store.Keep("ZP1")};
    TLibraryStore moved = std::move(store);
    ASSERT_EQ(run.size(), 1001u);
    EXPECT_EQ(run[999].Text, "999");
    EXPECT_EQ(run[999].Line, 999);
    ASSERT_EQ(run[1000].CheckPoints.size(), 2u);
    EXPECT_EQ(run[1000].CheckPoints[0].Position, 0);
    EXPECT_EQ(run[1000].CheckPoints[1].Rule, "ZP1");
    EXPECT_EQ(run[1000].CheckPoints[1].Kind, 3);
}

TEST(CheckPointList, GroupsAreDecodedAsTheyAreRead) {
    // Position 0 stands for 26; the rule is trimmed of its padding and control bytes.
    const char groups[] = {0, 2, 'a', 'b', ' ', 'Z', 'P', '\n', 13, 1, 0, '@', 'R', ' ', ' ', ' '};
    TCheckPointList list = TCheckPointList::Groups(groups, 2);
    ASSERT_EQ(list.size(), 2u);
    std::vector<std::string> seen;
    for (TCheckPoint cp : list)
        seen.push_back(std::to_string(cp.Position) + "/" + std::to_string(cp.Kind) + "/" +
                       std::string(1, cp.Alternative1 ? cp.Alternative1 : '-') +
                       std::string(1, cp.Alternative2) + "/" + std::string(cp.Rule));
    EXPECT_EQ(seen, (std::vector<std::string>{"26/2/ab/ZP", "13/1/-@/R"}));
    EXPECT_TRUE(TCheckPointList().empty());
}
