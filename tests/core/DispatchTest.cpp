// The start-up dispatch: which course a start takes, and what each course
// does, in order.
#include <gtest/gtest.h>

#include <algorithm>

#include "Fakes.h"
#include "boot/ModMain.h"

namespace vlmr::test {
namespace {

void Configure(World& w, const std::string& iniText = "[VLMR]\r\nStyle=Stretch\r\n") {
    w.files.files["/app/Installed"] = "07/12/2026\r\n";
    w.files.files["/app/IPaths.dat"] = "/p/a.bmp\r\n";
    w.files.files["/app/Config.ini"] = iniText;
}

bool Has(const Journal& j, const std::string& entry) { return std::find(j.begin(), j.end(), entry) != j.end(); }

// The journal from the first entry equal to `from` to its end.
Journal From(const Journal& j, const std::string& from) {
    auto it = std::find(j.begin(), j.end(), from);
    return Journal(it, j.end());
}

TEST(Dispatch, AnotherInstanceOnlyWarnsAndEnds) {
    for (InstanceCheck check : {InstanceCheck::AnotherRunning, InstanceCheck::Failed}) {
        for (const char* args : {"", "Config"}) {
            SCOPED_TRACE(std::string("args '") + args + "', check " + std::to_string(static_cast<int>(check)));
            World w;
            Configure(w);
            w.runtime.instance = check;
            w.runtime.commandLine = args;
            w.form.Load();
            EXPECT_EQ(w.journal, (Journal{"message:Velmora Is Allready Running", "view:Unload", "end"}));
            ASSERT_EQ(w.runtime.messages.size(), 1u);
            EXPECT_EQ(w.runtime.messages[0].title, "Velmora");
            EXPECT_EQ(w.runtime.messages[0].icon, MessageIcon::Warning);
        }
    }
}

TEST(Dispatch, ConfigArgumentOpensConfiguratorWithoutBanner) {
    for (bool installed : {true, false}) {
        SCOPED_TRACE(installed ? "installed" : "not installed");
        World w;
        Configure(w);
        if (!installed) w.files.files.erase("/app/Installed");
        w.runtime.commandLine = "Config";
        w.form.Load();
        EXPECT_EQ(w.journal, (Journal{"view:Hide", "config"}));
        EXPECT_TRUE(w.runtime.messages.empty());
        EXPECT_FALSE(w.runtime.ended);  // the configurator ends the program later
    }
}

TEST(Dispatch, OnlyTheExactWordConfigOpensConfigurator) {
    for (const char* args : {"config", "CONFIG", "Config now", " Config", "Config ", "Config\t", "Conf", "/Config"}) {
        SCOPED_TRACE(std::string("args '") + args + "'");
        World w;
        Configure(w);
        w.runtime.commandLine = args;
        w.form.Load();
        EXPECT_FALSE(Has(w.journal, "config"));
        EXPECT_TRUE(Has(w.journal, "SetWallpaper /p/a.bmp"));
        EXPECT_TRUE(w.runtime.ended);
    }
}

TEST(Dispatch, MissingMarkerAsksForConfigurationAndNeverReadsTheList) {
    World w;
    Configure(w);
    w.files.files.erase("/app/Installed");
    w.form.Load();
    EXPECT_EQ(w.journal, (Journal{"view:Show", "view:Focus", "deliver", "list /app/Installed",
                                  "message:Please Configure", "view:Hide", "config"}));
    ASSERT_EQ(w.runtime.messages.size(), 1u);
    EXPECT_EQ(w.runtime.messages[0].title, "Velmora");
    EXPECT_EQ(w.runtime.messages[0].icon, MessageIcon::Information);
    EXPECT_EQ(w.files.reads, 0);
    EXPECT_FALSE(w.runtime.ended);
}

TEST(Dispatch, MarkerThatCannotBeLookedForCountsAsMissing) {
    World w;
    Configure(w);
    w.files.failing["/app/Installed"] = Status::Fail(ErrorKind::PathNotFound, "The device is not ready.");
    w.form.Load();
    EXPECT_EQ(w.journal, (Journal{"view:Show", "view:Focus", "deliver", "list /app/Installed",
                                  "message:Please Configure", "view:Hide", "config"}));
    EXPECT_EQ(w.files.reads, 0);
}

TEST(Dispatch, MissingOrUnreadableListEndsWithNotConfigured) {
    for (bool unreadable : {false, true}) {
        SCOPED_TRACE(unreadable ? "unreadable" : "missing");
        World w;
        Configure(w);
        if (unreadable)
            w.files.failing["/app/IPaths.dat"] = Status::Fail(ErrorKind::AccessDenied, "Permission denied");
        else
            w.files.files.erase("/app/IPaths.dat");
        w.form.Load();
        EXPECT_EQ(w.journal, (Journal{"view:Show", "view:Focus", "deliver", "list /app/Installed",
                                      "read /app/IPaths.dat", "message:Velmora Is NOT Configured", "end"}));
        ASSERT_EQ(w.runtime.messages.size(), 1u);
        EXPECT_EQ(w.runtime.messages[0].title, "Velmora");
        EXPECT_EQ(w.runtime.messages[0].icon, MessageIcon::Information);
    }
}

TEST(Dispatch, BootRunInExactOrder) {
    World w;
    Configure(w);
    w.form.Load();
    EXPECT_EQ(w.journal, (Journal{
                             "view:Show", "view:Focus", "deliver",  // first delivery: the banner paints
                             "list /app/Installed",
                             "read /app/IPaths.dat", "deliver",  // second: after the load
                             // the options' four keys: is there a picture per monitor?
                             "read /app/Config.ini", "read /app/Config.ini", "read /app/Config.ini",
                             "read /app/Config.ini",
                             "clock", "deliver",  // third: after the draw
                             "read /app/Config.ini",  // the style; Stretch's proportions are known by now
                             "Create", "GetDesktopItemOptions 12 0 0", "SetWallpaperOptions 8 2",
                             "SetWallpaper /p/a.bmp", "ApplyChanges 7", "Release",
                             "view:Unload", "end"}));
    EXPECT_TRUE(w.runtime.messages.empty());
    EXPECT_EQ(w.files.writes, 0);
}

TEST(Dispatch, EachStyleWordAppliesOnceWithItsCodeAndEnabling) {
    const std::pair<const char*, int> cases[] = {{"Center", 0}, {"Tile", 1}, {"Stretch", 2}};
    for (auto [word, code] : cases) {
        SCOPED_TRACE(word);
        World w;
        Configure(w, std::string("[VLMR]\r\nStyle=") + word + "\r\n");
        w.wallpaper.behaviour.activeDesktopOn = false;  // so the enable flag shows
        w.form.Load();
        EXPECT_EQ(From(w.journal, "Create"),
                  (Journal{"Create", "GetDesktopItemOptions 12 0 0", "SetDesktopItemOptions 12 1 1",
                           "SetWallpaperOptions 8 " + std::to_string(code), "SetWallpaper /p/a.bmp", "ApplyChanges 7",
                           "Release", "view:Unload", "end"}));
        EXPECT_EQ(std::count(w.journal.begin(), w.journal.end(), "Create"), 1);
    }
}

// The draw and the style both need the options; one boot run reads the
// settings file for them once: the four option keys, then the style.
TEST(Dispatch, ABootRunReadsTheOptionsOnce) {
    World w;
    Configure(w, "[VLMR]\r\nStyle=Stretch\r\n[Options]\r\nNoRepeats=True\r\nProportions=Fit\r\n");
    w.files.files["/app/IPaths.dat"] = "/p/a.bmp\r\n/p/b.bmp\r\n";
    w.form.Load();
    EXPECT_EQ(std::count(w.journal.begin(), w.journal.end(), "read /app/Config.ini"), 5) << ::testing::PrintToString(w.journal);
    EXPECT_TRUE(Has(w.journal, "SetWallpaperOptions 8 3"));
}

// Stretch keeps the picture's proportions when asked; Center and Tile scale
// nothing, so the option leaves them as they are. Any other word is a plain stretch.
TEST(Dispatch, ProportionsTurnOnlyStretchIntoFillOrFit) {
    const struct {
        const char* style;
        const char* proportions;  // nullptr: no [Options] section
        int code;
        const char* logged;
    } cases[] = {
        {"Stretch", nullptr, 2, "style Stretch; desktop: the fake desktop"},
        {"Stretch", "Fill", 4, "style Stretch, proportions Fill (the screen filled, the picture cropped); desktop: the fake desktop"},
        {"Stretch", "Fit", 3, "style Stretch, proportions Fit (the picture inside, with bars); desktop: the fake desktop"},
        {"Stretch", "fit", 2, "style Stretch; desktop: the fake desktop"},
        {"Center", "Fill", 0, "style Center; desktop: the fake desktop"},
        {"Tile", "Fit", 1, "style Tile; desktop: the fake desktop"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.style) + " " + (c.proportions ? c.proportions : "(none)"));
        World w;
        RecordingLogFile log;
        std::string ini = std::string("[VLMR]\r\nStyle=") + c.style + "\r\n";
        if (c.proportions) ini += std::string("[Options]\r\nProportions=") + c.proportions + "\r\n";
        Configure(w, ini);
        w.form.Load();
        EXPECT_EQ(From(w.journal, "Create"),
                  (Journal{"Create", "GetDesktopItemOptions 12 0 0", "SetWallpaperOptions 8 " + std::to_string(c.code),
                           "SetWallpaper /p/a.bmp", "ApplyChanges 7", "Release", "view:Unload", "end"}));
        const std::vector<std::string> messages = log.Messages();
        EXPECT_NE(std::find(messages.begin(), messages.end(), std::string("info ") + c.logged), messages.end());
    }
}

TEST(Dispatch, AnyOtherStyleAppliesNothingButStillEnds) {
    const char* inis[] = {
        "[VLMR]\r\nStyle=stretch\r\n",        // letter case
        "[VLMR]\r\nStyle=\"Stretch \"\r\n",   // a kept trailing blank
        "[VLMR]\r\nStyle=Stretched\r\n",      // a further character
        "[VLMR]\r\nStyle=\r\n",               // empty
        "[VLMR]\r\nPath=/p\r\n",              // key missing
        "[Other]\r\nStyle=Stretch\r\n",       // section missing
        "Style=Stretch\r\n",                  // outside any section
    };
    for (const char* ini : inis) {
        SCOPED_TRACE(ini);
        World w;
        Configure(w, ini);
        w.form.Load();
        EXPECT_FALSE(Has(w.journal, "Create"));
        EXPECT_EQ(Journal(w.journal.end() - 3, w.journal.end()), (Journal{"read /app/Config.ini", "view:Unload", "end"}));
        EXPECT_TRUE(w.runtime.messages.empty());
    }
}

TEST(Dispatch, MissingOrUnreadableSettingsApplyNothingButStillEnd) {
    for (bool unreadable : {false, true}) {
        SCOPED_TRACE(unreadable ? "unreadable" : "missing");
        World w;
        Configure(w);
        if (unreadable)
            w.files.failing["/app/Config.ini"] = Status::Fail(ErrorKind::AccessDenied, "Permission denied");
        else
            w.files.files.erase("/app/Config.ini");
        w.form.Load();
        EXPECT_EQ(Journal(w.journal.end() - 3, w.journal.end()), (Journal{"read /app/Config.ini", "view:Unload", "end"}));
        if (!unreadable) {
            EXPECT_EQ(w.files.files.count("/app/Config.ini"), 0u);  // a read creates nothing
        }
        EXPECT_EQ(w.files.writes, 0);
    }
}

TEST(Dispatch, SettingsNamesMatchWithoutRegardToCase) {
    World w;
    Configure(w, "[vlmr]\r\n  STYLE = Tile  \r\n");
    w.form.Load();
    EXPECT_TRUE(Has(w.journal, "SetWallpaperOptions 8 1"));
}

TEST(Dispatch, AbsentWallpaperServiceChangesNothingAndEnds) {
    World w;
    Configure(w);
    w.wallpaper.available = false;
    w.form.Load();
    EXPECT_EQ(From(w.journal, "Create"), (Journal{"Create", "view:Unload", "end"}));
    EXPECT_TRUE(w.runtime.messages.empty());
}

TEST(FileExists, BlankNameCountsAsAbsentAndAFailedListingIsNoAnswer) {
    FakeFileSystem fs;
    fs.files["/app/Installed"] = "";
    fs.files["/app/ "] = "";
    EXPECT_EQ(FileExists(fs, "/app/Installed"), std::optional<bool>(true));
    EXPECT_EQ(FileExists(fs, "/app/Other"), std::optional<bool>(false));
    EXPECT_EQ(FileExists(fs, "/app/ "), std::optional<bool>(false));
    fs.failing["/net/Installed"] = Status::Fail(ErrorKind::PathNotFound, "The network path was not found.");
    EXPECT_EQ(FileExists(fs, "/net/Installed"), std::nullopt);
}

}  // namespace
}  // namespace vlmr::test
