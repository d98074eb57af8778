// ApplyWallpaper: the order of the service calls, what each one passes, and
// how failed steps are skipped.
#include <gtest/gtest.h>

#include "Fakes.h"
#include "boot/ApplyWallpaper.h"

namespace vlmr::test {
namespace {

struct Case {
    const char* name;
    bool activeDesktopOn;
    bool enable;
    Journal expected;
};

TEST(ApplyWallpaper, ActiveDesktopOnOrOffWithEnableTrueOrFalse) {
    const Case cases[] = {
        {"on, enable", true, true,
         {"Create", "GetDesktopItemOptions 12 0 0", "SetWallpaperOptions 8 0", "SetWallpaper /w/a.bmp",
          "ApplyChanges 7", "Release"}},
        {"on, no enable", true, false,
         {"Create", "GetDesktopItemOptions 12 0 0", "SetWallpaperOptions 8 0", "SetWallpaper /w/a.bmp",
          "ApplyChanges 7", "Release"}},
        {"off, enable", false, true,
         {"Create", "GetDesktopItemOptions 12 0 0", "SetDesktopItemOptions 12 0 1", "SetWallpaperOptions 8 0",
          "SetWallpaper /w/a.bmp", "ApplyChanges 7", "Release"}},
        {"off, no enable", false, false,
         {"Create", "GetDesktopItemOptions 12 0 0", "SetWallpaperOptions 8 0", "SetWallpaper /w/a.bmp",
          "ApplyChanges 7", "Release"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Journal j;
        FakeWallpaperService service(j);
        service.behaviour.activeDesktopOn = c.activeDesktopOn;
        service.behaviour.enableComponents = 0;
        ApplyWallpaper(service, "/w/a.bmp", WPSTYLE_CENTER, c.enable);
        EXPECT_EQ(j, c.expected);
    }
}

TEST(ApplyWallpaper, SwitchingOnKeepsTheReadComponentsFlag) {
    for (std::uint32_t components : {0u, 1u}) {
        Journal j;
        FakeWallpaperService service(j);
        service.behaviour.activeDesktopOn = false;
        service.behaviour.enableComponents = components;
        ApplyWallpaper(service, "/w/a.bmp", WPSTYLE_STRETCH, true);
        EXPECT_EQ(j.at(2), "SetDesktopItemOptions 12 " + std::to_string(components) + " 1");
    }
}

TEST(ApplyWallpaper, StyleCodeIsPassedThroughUnchecked) {
    for (std::int32_t style : {0, 1, 2, 5, -1}) {
        Journal j;
        FakeWallpaperService service(j);
        ApplyWallpaper(service, "/w/a.bmp", style, true);
        EXPECT_EQ(j.at(2), "SetWallpaperOptions 8 " + std::to_string(static_cast<std::uint32_t>(style)));
    }
}

TEST(ApplyWallpaper, FailedCreateMakesNoFurtherCall) {
    Journal j;
    FakeWallpaperService service(j);
    service.available = false;
    ApplyWallpaper(service, "/w/a.bmp", WPSTYLE_TILE, true);
    EXPECT_EQ(j, (Journal{"Create"}));
}

TEST(ApplyWallpaper, EachFailingCallIsSkippedAndTheRestStillHappens) {
    const Journal all = {"Create", "GetDesktopItemOptions 12 0 0", "SetDesktopItemOptions 12 1 1",
                         "SetWallpaperOptions 8 1", "SetWallpaper /w/a.bmp", "ApplyChanges 7", "Release"};
    for (const char* method :
         {"SetDesktopItemOptions", "SetWallpaperOptions", "SetWallpaper", "ApplyChanges"}) {
        SCOPED_TRACE(method);
        Journal j;
        FakeWallpaperService service(j);
        service.behaviour.activeDesktopOn = false;
        service.behaviour.failing = {method};
        ApplyWallpaper(service, "/w/a.bmp", WPSTYLE_TILE, true);
        EXPECT_EQ(j, all);
    }

    Journal j;
    FakeWallpaperService service(j);
    service.behaviour.activeDesktopOn = true;
    service.behaviour.failing = {"GetDesktopItemOptions", "SetDesktopItemOptions", "SetWallpaperOptions",
                                 "SetWallpaper", "ApplyChanges"};
    ApplyWallpaper(service, "/w/a.bmp", WPSTYLE_TILE, true);
    EXPECT_EQ(j, (Journal{"Create", "GetDesktopItemOptions 12 0 0", "SetWallpaperOptions 8 1", "SetWallpaper /w/a.bmp",
                          "ApplyChanges 7", "Release"}));
}

TEST(ApplyWallpaper, UnreadOptionsAreNotWrittenBack) {
    // The record holds no real flags when the read fails: writing it could
    // switch the user's desktop components.
    Journal j;
    FakeWallpaperService service(j);
    service.behaviour.activeDesktopOn = false;
    service.behaviour.failing = {"GetDesktopItemOptions"};
    ApplyWallpaper(service, "/w/a.bmp", WPSTYLE_CENTER, true);
    EXPECT_EQ(j, (Journal{"Create", "GetDesktopItemOptions 12 0 0", "SetWallpaperOptions 8 0", "SetWallpaper /w/a.bmp",
                          "ApplyChanges 7", "Release"}));
}

TEST(ApplyWallpaper, PathIsHandedOverUnchanged) {
    for (std::string path : {std::string("/home/zo\xC3\xAB/\xE6\x97\xA5\xE6\x9C\xAC/\xD0\xBA\xD0\xBE\xD1\x82.bmp"),
                             std::string("  C:\\My Pictures\\missing.bmp  "), std::string(""),
                             std::string("/no/such/folder/")}) {
        Journal j;
        FakeWallpaperService service(j);
        ApplyWallpaper(service, path, WPSTYLE_CENTER, true);
        EXPECT_EQ(j.at(3), "SetWallpaper " + path);
        EXPECT_EQ(j.back(), "Release");
    }
}

}  // namespace
}  // namespace vlmr::test
