// A picture of its own on each monitor: different entries while the list
// has enough, the style for every monitor, the draw without repeats going
// on across monitors, and the one-picture course wherever the option or the
// desktop does not allow it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "Fakes.h"

namespace vlmr::test {
namespace {

const std::string kPerMonitor = "[VLMR]\r\nStyle=Stretch\r\n[Options]\r\nPerMonitor=True\r\n";

std::string ListText(int count) {
    std::string text;
    for (int i = 0; i < count; ++i) text += "/p/" + std::to_string(i) + ".bmp\r\n";
    return text;
}

struct Desk {
    explicit Desk(int entries, std::vector<std::string> monitors = {"A", "B", "C"},
                  const std::string& ini = kPerMonitor) {
        w.files.files["/app/Installed"] = "07/12/2026\r\n";
        w.files.files["/app/IPaths.dat"] = ListText(entries);
        w.files.files["/app/Config.ini"] = ini;
        w.wallpaper.perMonitor.available = true;
        w.wallpaper.perMonitor.monitors = std::move(monitors);
    }
    // One boot run at a time of day; the pictures handed to the monitors, in order.
    std::vector<std::string> Boot(int i) {
        w.journal.clear();
        log.lines.clear();
        w.runtime.clock = std::fmod(1234.567 + i * 613.3791, 86400.0);
        w.form.Load();
        for (const std::string& e : w.journal) {
            if (e.rfind("SetWallpapers ", 0) != 0) continue;
            std::vector<std::string> pictures;
            for (std::size_t at = e.find(": ") + 2;;) {
                const std::size_t end = e.find(" | ", at);
                pictures.push_back(e.substr(at, end - at));
                if (end == std::string::npos) return pictures;
                at = end + 3;
            }
        }
        return {};
    }
    bool Journaled(const std::string& entry) const {
        return std::find(w.journal.begin(), w.journal.end(), entry) != w.journal.end();
    }

    RecordingLogFile log;
    World w;
};

TEST(PerMonitor, EachMonitorGetsADifferentEntryInTheStoredStyle) {
    Desk d(5);
    std::set<std::string> seen;
    for (int i = 0; i < 40; ++i) {
        const std::vector<std::string> pictures = d.Boot(i);
        ASSERT_EQ(pictures.size(), 3u);
        EXPECT_EQ(std::set<std::string>(pictures.begin(), pictures.end()).size(), 3u) << i;
        seen.insert(pictures.begin(), pictures.end());
        EXPECT_EQ(d.w.journal[d.w.journal.size() - 3].substr(0, 16), "SetWallpapers 2:");
        EXPECT_FALSE(d.Journaled("Create")) << "no single picture besides";
    }
    EXPECT_EQ(seen.size(), 5u);

    // The log names each monitor with its picture, and what was set.
    const std::vector<std::string> pictures = d.Boot(7);
    const std::vector<std::string> lines = d.log.Messages();
    for (std::size_t m = 0; m < 3; ++m) {
        const std::string monitor = std::string(1, static_cast<char>('A' + m));
        const std::string entry = std::to_string(std::stoi(pictures[m].substr(3)) + 1);
        EXPECT_NE(std::find(lines.begin(), lines.end(),
                            "info monitor " + monitor + ": drawn entry " + entry + " of 5: " + pictures[m]),
                  lines.end());
        EXPECT_NE(std::find(lines.begin(), lines.end(), "info wallpaper set on monitor " + monitor + ": " + pictures[m]),
                  lines.end());
    }

    EXPECT_NE(std::find(lines.begin(), lines.end(), "info style Stretch; desktop: the fake desktop, a picture per monitor"),
              lines.end());

    // Proportions reach every monitor as they reach the one picture.
    Desk fit(5, {"A", "B", "C"}, kPerMonitor + "Proportions=Fit\r\n");
    fit.Boot(1);
    EXPECT_EQ(fit.w.journal[fit.w.journal.size() - 3].substr(0, 16), "SetWallpapers 3:");
}

TEST(PerMonitor, FewerEntriesThanMonitorsRepeatOnlyOnceAllAreOut) {
    for (int entries : {1, 2}) {
        Desk d(entries);
        for (int i = 0; i < 10; ++i) {
            const std::vector<std::string> pictures = d.Boot(i);
            ASSERT_EQ(pictures.size(), 3u);
            EXPECT_EQ(std::set<std::string>(pictures.begin(), pictures.end()).size(),
                      static_cast<std::size_t>(entries));
            EXPECT_EQ(pictures[entries % 3], pictures[0]);  // the order starts again
        }
    }
}

TEST(PerMonitor, WithoutRepeatsTheMonitorsTakeTheRoundsNextPlaces) {
    // Three entries on two monitors: every other run crosses into a new round,
    // and the new round must not open with what the other monitor shows.
    Desk d(3, {"A", "B"}, kPerMonitor + "NoRepeats=True\r\n");
    std::vector<std::string> shown;
    for (int i = 0; i < 30; ++i) {
        const std::vector<std::string> pictures = d.Boot(i);
        ASSERT_EQ(pictures.size(), 2u);
        EXPECT_NE(pictures[0], pictures[1]) << i;
        shown.insert(shown.end(), pictures.begin(), pictures.end());
    }
    // Read in order, the pictures are whole rounds of the three.
    for (std::size_t round = 0; round + 3 <= shown.size(); round += 3)
        EXPECT_EQ(std::set<std::string>(shown.begin() + round, shown.begin() + round + 3).size(), 3u) << round;
}

TEST(PerMonitor, OneCourseForAllWhereTheOptionOrTheDesktopDoesNotAllow) {
    const struct {
        const char* what;
        std::string ini;
        int entries;
        bool desktopCan;
        std::vector<std::string> monitors;
        bool asksDesktop;
    } cases[] = {
        {"option off", "[VLMR]\r\nStyle=Stretch\r\n", 5, true, {"A", "B"}, false},
        {"another word", "[VLMR]\r\nStyle=Stretch\r\n[Options]\r\nPerMonitor=true\r\n", 5, true, {"A", "B"}, false},
        {"empty list", kPerMonitor, 0, true, {"A", "B"}, false},
        {"desktop of one picture", kPerMonitor, 5, false, {}, true},
        {"monitors unknown", kPerMonitor, 5, true, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Desk d(c.entries, c.monitors, c.ini);
        d.w.wallpaper.perMonitor.available = c.desktopCan;
        d.Boot(3);
        EXPECT_EQ(d.Journaled("CreatePerMonitor"), c.asksDesktop);
        EXPECT_TRUE(d.Journaled("Create"));
        EXPECT_EQ(std::count_if(d.w.journal.begin(), d.w.journal.end(),
                                [](const std::string& e) { return e.rfind("SetWallpaper ", 0) == 0; }),
                  1);
    }
}

TEST(PerMonitor, ARefusedMonitorIsLoggedAndTheOthersStillCount) {
    Desk d(4, {"A", "B"});
    d.w.wallpaper.perMonitor.refusing = {1};
    const std::vector<std::string> pictures = d.Boot(2);
    const std::vector<std::string> lines = d.log.Messages();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "info wallpaper set on monitor A: " + pictures[0]), lines.end());
    EXPECT_NE(std::find(lines.begin(), lines.end(), "error monitor B keeps its wallpaper"), lines.end());
    EXPECT_EQ(std::count_if(lines.begin(), lines.end(),
                            [](const std::string& l) { return l.find("wallpaper set") != std::string::npos; }),
              1);
}

}  // namespace
}  // namespace vlmr::test
