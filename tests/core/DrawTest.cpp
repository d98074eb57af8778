// The draw: RandomBetween's contract and the choice of the image among the
// list's entries, with the fallback picture only when there is nothing to use.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <map>
#include <set>

#include "Fakes.h"
#include "boot/ModMain.h"

namespace vlmr::test {
namespace {

const std::string kFallback = "/app/logo.gif";

void Configure(World& w, const std::string& list) {
    w.files.files["/app/Installed"] = "07/12/2026\r\n";
    w.files.files["/app/IPaths.dat"] = list;
    w.files.files["/app/Config.ini"] = "[VLMR]\r\nStyle=Stretch\r\n";
}

// One boot run at the given time of day; the path handed to the wallpaper
// service, or nothing when none was.
std::optional<std::string> Boot(World& w, double clock) {
    w.journal.clear();
    w.runtime.clock = clock;
    w.form.Load();
    for (const std::string& e : w.journal)
        if (e.rfind("SetWallpaper ", 0) == 0) return e.substr(13);
    return std::nullopt;
}

// Times of day spread over a whole day, fractions included.
double ClockAt(int i) { return std::fmod(1234.567 + i * 613.3791, 86400.0); }

TEST(Draw, EveryEntryComesUpAndTheFallbackNever) {
    World w;
    Configure(w, "/p/1.bmp\r\n/p/2.bmp\r\n/p/3.bmp\r\n/p/4.bmp\r\n/p/5.bmp\r\n");
    std::map<std::string, int> seen;
    const int draws = 1000;
    for (int i = 0; i < draws; ++i) {
        auto path = Boot(w, ClockAt(i));
        ASSERT_TRUE(path);
        ++seen[*path];
    }
    EXPECT_EQ(seen.count(kFallback), 0u);
    ASSERT_EQ(seen.size(), 5u);
    for (auto& [path, n] : seen) {
        SCOPED_TRACE(path);
        EXPECT_GT(n, draws / 5 / 2);  // roughly even, not merely present
    }
}

TEST(Draw, EmptyListUsesTheFallback) {
    World w;
    Configure(w, "");
    for (int i = 0; i < 20; ++i) EXPECT_EQ(Boot(w, ClockAt(i)), kFallback);
    EXPECT_TRUE(w.runtime.messages.empty());
}

TEST(Draw, EmptyLineUsesTheFallbackOtherLinesTheirPath) {
    World w;
    Configure(w, "/p/a.bmp\r\n\r\n/p/c.bmp\r\n");
    std::set<std::size_t> drawn;
    for (int i = 0; i < 200; ++i) {
        auto path = Boot(w, ClockAt(i));
        ASSERT_TRUE(w.form.PList.Selected());
        const std::size_t index = *w.form.PList.Selected();
        drawn.insert(index);
        EXPECT_EQ(path, index == 1 ? kFallback : std::string(w.form.PList.Item(index)));
    }
    EXPECT_EQ(drawn, (std::set<std::size_t>{0, 1, 2}));

    World single;
    Configure(single, "\r\n");  // one entry, empty
    EXPECT_EQ(Boot(single, ClockAt(0)), kFallback);
}

TEST(Draw, DrawnPathIsHandedOverVerbatim) {
    World w;
    const std::string odd = "  /home/zo\xC3\xAB/My Pictures/a\tb.bmp  ";
    Configure(w, odd + "\r\n");
    EXPECT_EQ(Boot(w, ClockAt(3)), odd);
}

TEST(Draw, EntriesFarBeyond32767CanBeChosenInAMillionLineList) {
    World w;
    std::string list;
    const std::size_t count = 1'000'000;
    list.reserve(count * 20);
    for (std::size_t i = 0; i < count; ++i) list.append("/img/").append(std::to_string(i)).append(".bmp\r\n");
    Configure(w, list);
    std::size_t highest = 0;
    int beyond16Bits = 0;
    for (int i = 0; i < 30; ++i) {
        auto path = Boot(w, ClockAt(i));
        ASSERT_EQ(w.form.PList.Count(), count);
        ASSERT_TRUE(w.form.PList.Selected());
        const std::size_t index = *w.form.PList.Selected();
        EXPECT_EQ(path, "/img/" + std::to_string(index) + ".bmp");
        highest = std::max(highest, index);
        if (index > 32767) ++beyond16Bits;
    }
    EXPECT_GT(beyond16Bits, 20);
    EXPECT_GT(highest, 900'000u);
}

TEST(RandomBetween, WholeNumbersWithinBothBoundsAndBothReached) {
    const std::pair<std::int32_t, std::int32_t> ranges[] = {
        {9, 0}, {0, 0}, {5, -5}, {INT32_MAX, INT32_MAX - 3}, {INT32_MIN + 3, INT32_MIN}, {-100, -103}};
    for (auto [upper, lower] : ranges) {
        SCOPED_TRACE(std::to_string(lower) + ".." + std::to_string(upper));
        Journal j;
        FakeRuntime rt(j);
        double lowest = INFINITY, highest = -INFINITY;
        for (int i = 0; i < 400; ++i) {
            rt.clock = ClockAt(i);
            auto v = RandomBetween(rt, upper, lower);
            ASSERT_TRUE(v);
            EXPECT_EQ(*v, std::floor(*v));
            EXPECT_GE(*v, lower);
            EXPECT_LE(*v, upper);
            lowest = std::min(lowest, *v);
            highest = std::max(highest, *v);
        }
        EXPECT_EQ(lowest, lower);
        EXPECT_EQ(highest, upper);
    }
}

TEST(RandomBetween, OverflowingRangeGivesNoValue) {
    Journal j;
    FakeRuntime rt(j);
    EXPECT_EQ(RandomBetween(rt, INT32_MAX, INT32_MIN), std::nullopt);
    EXPECT_EQ(RandomBetween(rt, INT32_MAX, -1), std::nullopt);
    EXPECT_EQ(RandomBetween(rt, 0, INT32_MIN), std::nullopt);
    EXPECT_EQ(RandomBetween(rt, -1, INT32_MIN), std::nullopt);
    EXPECT_EQ(RandomBetween(rt, INT32_MIN, INT32_MAX), std::nullopt);
    // The widest ranges that still fit are drawn.
    EXPECT_TRUE(RandomBetween(rt, INT32_MAX - 1, 0));
    EXPECT_TRUE(RandomBetween(rt, -2, INT32_MIN));
}

TEST(RandomBetween, SameTimeSameDrawAndNoStateBetweenCalls) {
    Journal j;
    FakeRuntime rt(j);
    rt.clockStep = 0;
    rt.clock = 43210.125;
    const auto first = RandomBetween(rt, 1'000'000, 0);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(RandomBetween(rt, 1'000'000, 0), first);

    // Draws depend on the time alone: in any order of calls, each time of
    // day gives the same number.
    std::vector<double> forward, backward(50);
    for (int i = 0; i < 50; ++i) {
        rt.clock = ClockAt(i);
        forward.push_back(*RandomBetween(rt, 1'000'000, 0));
    }
    for (int i = 49; i >= 0; --i) {
        rt.clock = ClockAt(i);
        backward[static_cast<std::size_t>(i)] = *RandomBetween(rt, 1'000'000, 0);
    }
    EXPECT_EQ(forward, backward);
    // and different times give different draws.
    EXPECT_GT(std::set<double>(forward.begin(), forward.end()).size(), 45u);
}

TEST(RandomBetween, MomentsApartDrawDifferently) {
    // Two starts a fraction of a second apart must not repeat the wallpaper
    // by construction of the seed.
    Journal j;
    FakeRuntime rt(j);
    std::set<double> values;
    for (int i = 0; i < 20; ++i) {
        rt.clock = 30000.0 + i * 0.01;
        values.insert(*RandomBetween(rt, 1'000'000, 0));
    }
    EXPECT_GT(values.size(), 15u);
}

TEST(RandomBetween, DrawsInDoublePrecision) {
    // Over 2^30 values a single-precision r (24 bits) could only give
    // multiples of 64; other numbers show the finer grain.
    Journal j;
    FakeRuntime rt(j);
    int fine = 0;
    for (int i = 0; i < 200; ++i) {
        rt.clock = ClockAt(i);
        const double v = *RandomBetween(rt, (1 << 30) - 1, 0);
        if (std::fmod(v, 64.0) != 0) ++fine;
    }
    EXPECT_GT(fine, 190);
}

}  // namespace
}  // namespace vlmr::test
