// The draw without repeats: rounds that show every entry once, the state
// file that carries a round from run to run, and what a changed list or a
// damaged file does to it.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <numeric>
#include <set>

#include "Fakes.h"
#include "boot/KeyedPermutation.h"
#include "boot/ShownRound.h"

namespace vlmr::test {
namespace {

constexpr const char* kShown = "/app/Shown.dat";
constexpr const char* kNoRepeats = "[VLMR]\r\nStyle=Stretch\r\n[Options]\r\nNoRepeats=True\r\n";

std::string ListText(std::size_t count, const std::string& folder = "/p") {
    std::string text;
    for (std::size_t i = 0; i < count; ++i) text += folder + "/" + std::to_string(i) + ".bmp\r\n";
    return text;
}

void Configure(World& w, const std::string& list, const std::string& ini = kNoRepeats) {
    w.files.files["/app/Installed"] = "07/12/2026\r\n";
    w.files.files["/app/IPaths.dat"] = list;
    w.files.files["/app/Config.ini"] = ini;
}

// One boot run; the index of the entry it drew.
std::size_t Boot(World& w) {
    w.journal.clear();
    w.form.Load();
    return *w.form.PList.Selected();
}

// The next `count` draws, which must be one round: each entry once.
std::vector<std::size_t> Round(World& w, std::size_t count) {
    std::vector<std::size_t> drawn;
    for (std::size_t i = 0; i < count; ++i) drawn.push_back(Boot(w));
    std::vector<std::size_t> sorted = drawn;
    std::sort(sorted.begin(), sorted.end());
    std::vector<std::size_t> all(count);
    std::iota(all.begin(), all.end(), std::size_t{0});
    EXPECT_EQ(sorted, all) << "not every entry exactly once";
    return drawn;
}

ListBox ListOf(const std::string& text) {
    ListBox list;
    list.AssignLines(std::string(text));
    return list;
}

TEST(KeyedPermutation, EverySizeAndKeyGivesEachPlaceOneElement) {
    for (std::uint64_t size : {1, 2, 3, 4, 5, 7, 8, 9, 31, 32, 33, 1000, 1024, 1025}) {
        for (std::uint64_t key : {0ULL, 1ULL, 0xdeadbeefcafef00dULL}) {
            SCOPED_TRACE(std::to_string(size) + " key " + std::to_string(key));
            const KeyedPermutation order(size, key);
            std::set<std::uint64_t> seen;
            for (std::uint64_t i = 0; i < size; ++i) {
                const std::uint64_t x = order.At(i);
                EXPECT_LT(x, size);
                seen.insert(x);
            }
            EXPECT_EQ(seen.size(), size);
        }
    }
    // Another key, another order; and sizes far beyond any list still answer.
    const KeyedPermutation a(1000, 1), b(1000, 2);
    int same = 0;
    for (std::uint64_t i = 0; i < 1000; ++i) same += a.At(i) == b.At(i);
    EXPECT_LT(same, 20);
    const std::uint64_t huge = (std::uint64_t{1} << 40) + 3;
    EXPECT_LT(KeyedPermutation(huge, 7).At(huge - 1), huge);
}

TEST(NoRepeats, TenRoundsOfAHundredShowEachEntryOnceAndAChangedListStartsAfresh) {
    World w;
    Configure(w, ListText(100));
    std::vector<std::vector<std::size_t>> rounds;
    for (int r = 0; r < 10; ++r) {
        SCOPED_TRACE("round " + std::to_string(r));
        rounds.push_back(Round(w, 100));
        // A new round never opens with the picture the last one ended on.
        if (r > 0) {
            EXPECT_NE(rounds[r].front(), rounds[r - 1].back());
        }
    }
    EXPECT_EQ(std::set<std::vector<std::size_t>>(rounds.begin(), rounds.end()).size(), 10u) << "rounds repeat an order";

    // Half a round, then the list changes: one entry renamed, then one fewer.
    for (int i = 0; i < 50; ++i) Boot(w);
    std::string renamed = ListText(100);
    renamed.replace(renamed.find("/p/7.bmp"), 8, "/p/7.BMP");
    w.files.files["/app/IPaths.dat"] = renamed;
    Round(w, 100);
    w.files.files["/app/IPaths.dat"] = ListText(99);
    Round(w, 99);
}

TEST(NoRepeats, ADamagedMissingOrStaleStateStartsANewRoundAndTheDrawGoesOn) {
    const std::string list = ListText(10);
    const std::uint64_t fingerprint = ListFingerprint(ListOf(list));
    const ShownRound midway{0x0123456789abcdefULL, 3, 10, fingerprint};
    const std::string valid = FormatShownRound(midway);
    const struct {
        const char* what;
        std::optional<std::string> text;  // nothing: no file
        const char* logged;               // the start of the line that says why
    } cases[] = {
        {"missing", std::nullopt, "info no /app/Shown.dat yet"},
        {"empty", "", "error /app/Shown.dat is damaged"},
        {"words", "key=1 position=3\r\n", "error /app/Shown.dat is damaged"},
        {"cut", valid.substr(0, 40), "error /app/Shown.dat is damaged"},
        {"a field more", valid.substr(0, valid.size() - 2) + " 0000000000000000\r\n",
         "error /app/Shown.dat is damaged"},
        {"past the end", FormatShownRound({midway.key, 11, 10, fingerprint}), "error /app/Shown.dat is damaged"},
        {"no entries", FormatShownRound({midway.key, 0, 0, fingerprint}), "error /app/Shown.dat is damaged"},
        {"too large", std::string(5000, '0'), "error cannot read /app/Shown.dat: File too large"},
        {"another list", FormatShownRound({midway.key, 3, 10, fingerprint ^ 1}), "info the image list changed"},
        {"another size", FormatShownRound({midway.key, 3, 11, fingerprint}), "info the image list changed"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        World w;
        RecordingLogFile log;
        Configure(w, list);
        if (c.text) w.files.files[kShown] = *c.text;
        Boot(w);
        const std::optional<ShownRound> after = ParseShownRound(w.files.files[kShown]);
        ASSERT_TRUE(after);
        EXPECT_EQ(after->position, 1u);
        EXPECT_EQ(after->count, 10u);
        EXPECT_EQ(after->fingerprint, fingerprint);
        const std::vector<std::string> said = log.Messages();
        const auto says = [&](const std::string& m) { return m.rfind(c.logged, 0) == 0; };
        EXPECT_TRUE(std::any_of(said.begin(), said.end(), says)) << ::testing::PrintToString(said);
        // The new round goes on from there: the other nine, once each.
        std::set<std::size_t> seen{*w.form.PList.Selected()};
        for (int i = 0; i < 9; ++i) seen.insert(Boot(w));
        EXPECT_EQ(seen.size(), 10u);
    }

    // The state intact: the round goes on where it was, with its own order.
    World w;
    Configure(w, list);
    w.files.files[kShown] = valid;
    EXPECT_EQ(Boot(w), KeyedPermutation(10, midway.key).At(3));
    EXPECT_EQ(ParseShownRound(w.files.files[kShown]), (ShownRound{midway.key, 4, 10, fingerprint}));

    // A state that cannot be read or written is logged, and the picture still goes up.
    World locked;
    RecordingLogFile log;
    Configure(locked, list);
    locked.files.failing[kShown] = Status::Fail(ErrorKind::AccessDenied, "Access is denied.");
    Boot(locked);
    EXPECT_NE(std::find_if(locked.journal.begin(), locked.journal.end(),
                           [](const std::string& e) { return e.rfind("SetWallpaper /p/", 0) == 0; }),
              locked.journal.end());
    const std::vector<std::string> said = log.Messages();
    for (const char* line : {"error cannot read /app/Shown.dat: Access is denied.; a new round of pictures begins",
                             "error cannot write /app/Shown.dat: Access is denied.; the next run may repeat a picture"})
        EXPECT_NE(std::find(said.begin(), said.end(), line), said.end()) << line;
}

// The fingerprint is all that tells a changed list of the same size.
TEST(NoRepeats, TheFingerprintSeesEveryByteAndTheOrderButNotTheLineEnds) {
    const std::string text = "/p/a longer name.bmp\r\n/p/bb.bmp\r\n\r\nc.bmp\r\n";
    const std::uint64_t fingerprint = ListFingerprint(ListOf(text));
    EXPECT_EQ(ListFingerprint(ListOf("/p/a longer name.bmp\n/p/bb.bmp\n\nc.bmp")), fingerprint);
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '\r' || text[at] == '\n') continue;
        std::string changed = text;
        changed[at] = static_cast<char>(changed[at] ^ 0x40);
        EXPECT_NE(ListFingerprint(ListOf(changed)), fingerprint) << "byte " << at;
    }
    using namespace std::string_literals;
    for (const std::string& other : {"/p/bb.bmp\r\n/p/a longer name.bmp\r\n\r\nc.bmp\r\n"s,  // order
                                     "/p/a longer name.bmp\r\n/p/bb.bmp\r\nc.bmp\r\n\r\n"s,
                                     "/p/a longer name.bmp\r\n/p/bb.bm\r\np\r\nc.bmp\r\n"s,  // a byte moved on
                                     "/p/a longer name.bmp\r\n/p/bb.bmp\r\n\r\nc.bmp\0\r\n"s})  // a NUL more
        EXPECT_NE(ListFingerprint(ListOf(other)), fingerprint) << other;
}

TEST(NoRepeats, TheStateIsAsSmallForAMillionEntriesAsForTen) {
    std::map<std::size_t, std::string> state;
    for (std::size_t count : {std::size_t{10}, std::size_t{1'000'000}}) {
        World w;
        Configure(w, ListText(count, "/img"));
        for (int i = 0; i < 3; ++i) {
            const std::size_t drawn = Boot(w);
            EXPECT_LT(drawn, count);
        }
        state[count] = w.files.files[kShown];
        EXPECT_EQ(ParseShownRound(state[count])->position, 3u);
    }
    EXPECT_EQ(state[10].size(), state[1'000'000].size());
    EXPECT_EQ(state[10].size(), 69u);
}

TEST(NoRepeats, OffOrWithNothingToVaryTheStateIsNeitherReadNorWritten) {
    const std::string others = "[VLMR]\r\nStyle=Stretch\r\n[Options]\r\n";
    const struct {
        std::string ini;
        std::size_t entries;
    } cases[] = {
        {"[VLMR]\r\nStyle=Stretch\r\n", 5},  // no options at all
        {others + "NoRepeats=true\r\n", 5},  // only the exact word turns it on
        {others + "NoRepeats=False\r\n", 5},
        {others + "Types=.JPG\r\nProportions=Fill\r\n", 5},
        {kNoRepeats, 1},  // on, but one entry has no order
        {kNoRepeats, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.ini + " with " + std::to_string(c.entries));
        World w;
        Configure(w, ListText(c.entries), c.ini);
        w.files.files[kShown] = "left as it is";
        for (int i = 0; i < 5; ++i) {
            w.journal.clear();
            w.form.Load();
            EXPECT_EQ(std::count_if(w.journal.begin(), w.journal.end(),
                                    [](const std::string& e) { return e.find("Shown.dat") != std::string::npos; }),
                      0)
                << ::testing::PrintToString(w.journal);
        }
        EXPECT_EQ(w.files.files[kShown], "left as it is");
    }
}

}  // namespace
}  // namespace vlmr::test
