// The run log: the form of its lines, what a boot run and a refused start
// leave in it, and a log that cannot be written or grows too large.
#include <gtest/gtest.h>

#include <algorithm>

#include "Fakes.h"

namespace vlmr::test {
namespace {

using Lines = std::vector<std::string>;

TEST(RunLog, EachEventIsOneStampedLineEvenWhenTheMessageHoldsBreaks) {
    RecordingLogFile log;
    LogInfo("save: folder /home/u/Bilder");
    LogError("cannot read /p/evil\nname.bmp\r\n");
    LogInfo("tab\there");
    EXPECT_EQ(log.lines, (Lines{"2026-12-07 10:00:00 42 info save: folder /home/u/Bilder",
                                "2026-12-07 10:00:00 42 error cannot read /p/evil\\x0aname.bmp",
                                "2026-12-07 10:00:00 42 info tab\\x09here"}));
    EXPECT_EQ(Reason(Status::Fail(ErrorKind::Other, "")), "unknown reason");
}

TEST(RunLog, AnUnwritableLogIsSaidOnceAndStopsNothing) {
    World w;
    RecordingLogFile log;
    log.writable = false;
    w.files.files["/app/Installed"] = "07/12/2026\r\n";
    w.files.files["/app/IPaths.dat"] = "/p/a.bmp\r\n";
    w.files.files["/app/Config.ini"] = "[VLMR]\r\nStyle=Tile\r\n";
    w.form.Load();
    EXPECT_EQ(log.unwritableSaid, Lines{"Access is denied."});
    EXPECT_NE(std::find(w.journal.begin(), w.journal.end(), "SetWallpaper /p/a.bmp"), w.journal.end());
    EXPECT_EQ(w.journal.back(), "end");
}

TEST(RunLog, ABootRunSaysWhatItDrewAndHowItWasHandedOver) {
    World w;
    RecordingLogFile log;
    w.files.files["/app/Installed"] = "07/12/2026\r\n";
    w.files.files["/app/IPaths.dat"] = "/p/b.bmp\r\n";
    w.files.files["/app/Config.ini"] = "[VLMR]\r\nStyle=Stretch\r\n";
    w.wallpaper.behaviour.failing = {"SetWallpaper"};
    w.form.Load();
    const Lines messages = log.Messages();
    ASSERT_GE(messages.size(), 5u);
    EXPECT_EQ(messages[0].rfind("info VLMR ", 0), 0u) << messages[0];
    EXPECT_NE(messages[0].find(" started: boot run"), std::string::npos) << messages[0];
    const Lines rest(messages.begin() + 1, messages.end());
    EXPECT_EQ(rest, (Lines{"info image list /app/IPaths.dat: 1 entries", "info drawn entry 1 of 1: /p/b.bmp",
                           "info style Stretch; desktop: the fake desktop",
                           "info wallpaper service: read the desktop options: done",
                           "info wallpaper service: set style 2: done",
                           "error wallpaper service: set file /p/b.bmp: failed",
                           "info wallpaper service: apply: done"}));
}

TEST(RunLog, OnlyTheCopyThatRunsMovesAFullLogAside) {
    const std::uint64_t sizes[] = {kLogRollOverSize, kLogRollOverSize + 1};
    for (const std::uint64_t size : sizes) {
        for (const InstanceCheck check : {InstanceCheck::Alone, InstanceCheck::AnotherRunning}) {
            SCOPED_TRACE(std::to_string(size) + (check == InstanceCheck::Alone ? " alone" : " refused"));
            World w;
            RecordingLogFile log;
            const Lines old{"2026-12-07 09:00:00 7 info old"};
            log.lines = old;
            log.size = size;
            w.runtime.instance = check;
            w.runtime.commandLine = "Config";
            w.form.Load();
            const bool moved = size > kLogRollOverSize && check == InstanceCheck::Alone;
            EXPECT_EQ(log.aside, moved ? old : Lines{});
            // The new log begins by saying where the old lines went.
            const std::string note = "2026-12-07 10:00:00 42 info the log passed 1048576 bytes; "
                                     "the earlier lines are in its .1 file";
            ASSERT_FALSE(log.lines.empty());
            EXPECT_EQ(log.lines[0] == note, moved);
            EXPECT_EQ(std::count(log.lines.begin(), log.lines.end(), note), moved ? 1 : 0);
        }
    }
    World w;
    RecordingLogFile log;
    log.size = kLogRollOverSize + 1;
    log.movable = false;
    w.form.Load();
    EXPECT_EQ(log.Messages()[0],
              "error the log passed 1048576 bytes but could not be moved aside: Access is denied.");
}

}  // namespace
}  // namespace vlmr::test
