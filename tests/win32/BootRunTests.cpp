// The boot run of the real program against the recording Active Desktop.
#include <algorithm>

#include "BuildConfig.h"
#include "Scenario.h"

namespace vlmr::wintest {
namespace {

const std::vector<std::wstring> kThreePaths = {
    L"C:\\Pictures\\Lake.bmp",
    L"C:\\Pictures\\Holiday 2023\\Beach.bmp",
    L"D:\\Wallpapers\\Forest.bmp",
};

const std::vector<std::wstring> kTwoPaths = {L"C:\\Pictures\\Lake.bmp", L"D:\\Wallpapers\\Forest.bmp"};

// Cyrillic and Chinese do not fit any one ANSI code page: the list is UTF-8 with a BOM.
const std::vector<std::wstring> kNonAnsiPaths = {
    L"C:\\Картинки\\Закат над морем.bmp",
    L"C:\\图片\\日落.bmp",
    L"D:\\Фото 照片\\Ёлка 树.bmp",
};

class BootRun : public Scenario {
protected:
    // One run to its end; returns what the recorder saw and clears the log.
    std::vector<std::string> RunToEnd(bool activeDesktopOn, std::wstring_view tail = L"") {
        {
            AppProcess run(folder_, tail, activeDesktopOn);
            EXPECT_TRUE(run.Started()) << "CreateProcess failed: " << GetLastError();
            EXPECT_TRUE(run.WaitForExit(kExitTimeoutMs)) << "the boot run did not end";
            EXPECT_TRUE(TopLevelWindows(run.Id(), false).empty()) << "the boot run left a window behind";
            lastRun_ = run.Id();
        }
        std::vector<std::string> log = folder_.LogLines();
        std::filesystem::remove(folder_.Log());
        return log;
    }

    std::string Fallback() const { return Narrow((folder_.Path() / L"logo.gif").wstring()); }

    // A complete boot run with the style given and an entry of the list: the
    // fallback picture is only for a list that offers nothing.
    void ExpectAnEntryApplied(const std::vector<std::wstring>& list, bool activeDesktopOn, int style) {
        std::vector<std::string> entries;
        for (const std::wstring& path : list) entries.push_back(Narrow(path));
        const std::vector<std::string> log = RunToEnd(activeDesktopOn);
        const std::string drawn = WallpaperOf(log);
        EXPECT_NE(std::find(entries.begin(), entries.end(), drawn), entries.end()) << "not from the list: " << drawn;
        EXPECT_EQ(log, ExpectedBootLog(activeDesktopOn, style, drawn));
    }

    DWORD lastRun_ = 0;  // the process id of the last RunToEnd
};

TEST_F(BootRun, ActiveDesktopOffIsSwitchedOnBeforeStyleFileAndApply) {
    folder_.WriteInstalled();
    folder_.WriteList(kThreePaths, ListEncoding::Ansi);
    folder_.WriteStyle("Stretch");
    ExpectAnEntryApplied(kThreePaths, false, 2);
}

// Three runs with no repeats show the three entries, each once, and keep
// only the round's one line beside the program.
TEST_F(BootRun, NoRepeatsShowsEveryEntryOnceARound) {
    folder_.WriteInstalled();
    folder_.WriteList(kThreePaths, ListEncoding::Ansi);
    folder_.WriteBytes(L"Config.ini", "[VLMR]\r\nStyle=Stretch\r\n[Options]\r\nNoRepeats=True\r\n");
    std::vector<std::string> shown;
    for (int run = 0; run < 3; ++run) shown.push_back(WallpaperOf(RunToEnd(false)));
    std::sort(shown.begin(), shown.end());
    std::vector<std::string> entries;
    for (const std::wstring& path : kThreePaths) entries.push_back(Narrow(path));
    std::sort(entries.begin(), entries.end());
    EXPECT_EQ(shown, entries);
    EXPECT_EQ(std::filesystem::file_size(folder_.Path() / L"Shown.dat"), 69u);
}

TEST_F(BootRun, ActiveDesktopAlreadyOnIsNotWrittenBack) {
    folder_.WriteInstalled();
    folder_.WriteList(kThreePaths, ListEncoding::Ansi);
    folder_.WriteStyle("Stretch");
    ExpectAnEntryApplied(kThreePaths, true, 2);
}

TEST_F(BootRun, ZeroByteListAppliesTheFallbackPicture) {
    folder_.WriteInstalled();
    folder_.WriteBytes(L"IPaths.dat", "");
    folder_.WriteStyle("Stretch");
    EXPECT_EQ(RunToEnd(false), ExpectedBootLog(false, 2, Fallback()));
}

TEST_F(BootRun, EmptyDrawnLineAppliesTheFallbackPicture) {
    folder_.WriteInstalled();
    folder_.WriteBytes(L"IPaths.dat", "\r\n");
    folder_.WriteStyle("Tile");
    EXPECT_EQ(RunToEnd(false), ExpectedBootLog(false, 1, Fallback()));
}

TEST_F(BootRun, NonAnsiPathsReachTheServiceUnchanged) {
    folder_.WriteInstalled();
    folder_.WriteList(kNonAnsiPaths, ListEncoding::Utf8WithBom);
    folder_.WriteStyle("Stretch");
    ExpectAnEntryApplied(kNonAnsiPaths, false, 2);
}

// The run log tells the whole course, the names in UTF-8.
TEST_F(BootRun, RunLogTellsEachStepOfTheCourse) {
    folder_.WriteInstalled();
    folder_.WriteList(kNonAnsiPaths, ListEncoding::Utf8WithBom);
    folder_.WriteStyle("Stretch");
    const std::string drawn = WallpaperOf(RunToEnd(false));
    std::size_t entry = 0;
    while (entry < kNonAnsiPaths.size() && Narrow(kNonAnsiPaths[entry]) != drawn) ++entry;
    ASSERT_LT(entry, kNonAnsiPaths.size()) << "not from the list: " << drawn;
    EXPECT_EQ(RunLogOf(folder_.RunLog(), lastRun_),
              (std::vector<std::string>{
                  "info VLMR " + std::string(kVersionText) + " started: boot run",
                  "info image list " + Narrow((folder_.Path() / L"IPaths.dat").wstring()) + ": 3 entries",
                  "info drawn entry " + std::to_string(entry + 1) + " of 3: " + drawn,
                  "info style Stretch; desktop: Active Desktop (IActiveDesktop)",
                  "info wallpaper service: read the desktop options: done",
                  "info wallpaper service: switch Active Desktop on: done",
                  "info wallpaper service: set style 2: done",
                  "info wallpaper service: set file " + drawn + ": done",
                  "info wallpaper service: apply: done",
                  "info wallpaper set: " + drawn,
              }));
}

// The core sees only that a step failed; the component's own reason goes into the log beside it.
TEST_F(BootRun, RefusedStepLeavesTheComponentsReasonInTheRunLog) {
    folder_.WriteInstalled();
    folder_.WriteList(kThreePaths, ListEncoding::Ansi);
    folder_.WriteStyle("Tile");
    SetEnvironmentVariableW(L"VLMR_RECORDER_REFUSE", L"SetWallpaper");
    const std::string drawn = WallpaperOf(RunToEnd(false));
    SetEnvironmentVariableW(L"VLMR_RECORDER_REFUSE", nullptr);
    const std::vector<std::string> log = RunLogOf(folder_.RunLog(), lastRun_);
    const auto failed = std::find(log.begin(), log.end(), "error wallpaper service: set file " + drawn + ": failed");
    ASSERT_TRUE(failed != log.end() && failed != log.begin()) << ::testing::PrintToString(log);
    const std::string& reason = *(failed - 1);
    EXPECT_EQ(reason.rfind("error Active Desktop: SetWallpaper failed: ", 0), 0u) << reason;
    const std::string code = "(0x80070005)";  // E_ACCESSDENIED, the recorder's answer
    EXPECT_TRUE(reason.size() > code.size() && reason.compare(reason.size() - code.size(), code.size(), code) == 0)
        << reason;
    EXPECT_EQ(std::find(log.begin(), log.end(), "info wallpaper set: " + drawn), log.end()) << "a refused file counted as set";
}

TEST_F(BootRun, AnsiListWithAccentedLettersIsReadInTheAnsiCodePage) {
    const std::vector<std::wstring> paths = {L"C:\\Bilder\\Café.bmp", L"C:\\Bilder\\Größe.bmp"};
    BOOL lossy = FALSE;
    for (const std::wstring& path : paths) {
        WideCharToMultiByte(CP_ACP, 0, path.c_str(), -1, nullptr, 0, nullptr, &lossy);
        if (lossy) GTEST_SKIP() << "the ANSI code page " << GetACP() << " lacks these letters";
    }
    folder_.WriteInstalled();
    folder_.WriteList(paths, ListEncoding::Ansi);
    folder_.WriteStyle("Stretch");
    ExpectAnEntryApplied(paths, false, 2);
}

struct StyleCase {
    const char* word;
    int code;
};

class KnownStyle : public BootRun, public ::testing::WithParamInterface<StyleCase> {};

TEST_P(KnownStyle, IsHandedOverAsItsCode) {
    folder_.WriteInstalled();
    folder_.WriteList(kThreePaths, ListEncoding::Ansi);
    folder_.WriteStyle(GetParam().word);
    const std::vector<std::string> log = RunToEnd(false);
    EXPECT_EQ(log, ExpectedBootLog(false, GetParam().code, WallpaperOf(log)));
}

INSTANTIATE_TEST_SUITE_P(Words, KnownStyle, ::testing::Values(StyleCase{"Center", 0}, StyleCase{"Tile", 1}),
                         [](const auto& named) { return std::string(named.param.word); });

struct ProportionsCase {
    const char* name;
    const char* settings;  // the whole Config.ini
    int code;
};

class StretchProportions : public BootRun, public ::testing::WithParamInterface<ProportionsCase> {};

// Fill and fit reach Active Desktop as its own crop-to-fit and keep-aspect
// styles; without the option Stretch stays a stretch, and Tile ignores it.
TEST_P(StretchProportions, AreHandedOverAsTheirCode) {
    folder_.WriteInstalled();
    folder_.WriteList(kThreePaths, ListEncoding::Ansi);
    folder_.WriteBytes(L"Config.ini", GetParam().settings);
    const std::vector<std::string> log = RunToEnd(false);
    EXPECT_EQ(log, ExpectedBootLog(false, GetParam().code, WallpaperOf(log)));
}

INSTANTIATE_TEST_SUITE_P(
    Options, StretchProportions,
    ::testing::Values(ProportionsCase{"Fill", "[VLMR]\r\nStyle=Stretch\r\n[Options]\r\nProportions=Fill\r\n", 4},
                      ProportionsCase{"Fit", "[VLMR]\r\nStyle=Stretch\r\n[Options]\r\nProportions=Fit\r\n", 3},
                      ProportionsCase{"None", "[VLMR]\r\nStyle=Stretch\r\n", 2},
                      ProportionsCase{"TileFill", "[VLMR]\r\nStyle=Tile\r\n[Options]\r\nProportions=Fill\r\n", 1}),
    [](const auto& named) { return std::string(named.param.name); });

class UnknownStyle : public BootRun, public ::testing::WithParamInterface<const char*> {};

// A style that is not exactly one of the three words changes nothing; the run still ends.
TEST_P(UnknownStyle, AppliesNothing) {
    folder_.WriteInstalled();
    folder_.WriteList(kThreePaths, ListEncoding::Ansi);
    folder_.WriteStyle(GetParam());
    EXPECT_TRUE(RunToEnd(false).empty());
}

INSTANTIATE_TEST_SUITE_P(Words, UnknownStyle, ::testing::Values("tile", "STRETCH", "Centered", ""),
                         [](const auto& named) {
                             return *named.param != '\0' ? std::string(named.param) : std::string("Empty");
                         });

TEST_F(BootRun, MissingSettingsFileAppliesNothing) {
    folder_.WriteInstalled();
    folder_.WriteList(kThreePaths, ListEncoding::Ansi);
    EXPECT_TRUE(RunToEnd(false).empty());
    EXPECT_FALSE(std::filesystem::exists(folder_.Path() / L"Config.ini")) << "reading the style created the file";
}

// A picture per monitor through the recorder that stands in for Windows 8's
// DesktopWallpaper object, which Wine lacks: two monitors side by side.
class PerMonitorBootRun : public BootRun {
protected:
    static void TearDownTestSuite() { UnregisterServer(kDesktopWallpaperClass); }
    void SetUp() override {
        const auto dll = WallpaperRecorderDll();
        ASSERT_TRUE(std::filesystem::exists(dll)) << "recorder DLL missing: " << Narrow(dll.wstring());
        ASSERT_EQ(RegisterServer(kDesktopWallpaperClass, dll), ERROR_SUCCESS);
        folder_.WriteInstalled();
        folder_.WriteList(kTwoPaths, ListEncoding::Ansi);
        folder_.WriteBytes(L"Config.ini", "[VLMR]\r\nStyle=Stretch\r\n[Options]\r\nProportions=Fit\r\nPerMonitor=True\r\n");
    }

    // The run log's words for a recorder's monitor.
    static std::string Monitor(int number) {
        return "\\\\?\\DISPLAY#TEST#" + std::to_string(number) + " 1024x768+" + std::to_string((number - 1) * 1024) +
               "+0";
    }
    // How the service asks the recorder for its monitors.
    static std::vector<std::string> MonitorQueries() {
        return {"GetMonitorDevicePathCount", "GetMonitorDevicePathAt 0", "GetMonitorRECT \\\\?\\DISPLAY#TEST#1",
                "GetMonitorDevicePathAt 1", "GetMonitorRECT \\\\?\\DISPLAY#TEST#2"};
    }
    bool Logged(const std::string& line) const {
        const std::vector<std::string> log = RunLogOf(folder_.RunLog(), lastRun_);
        return std::find(log.begin(), log.end(), line) != log.end();
    }
};

// Run after run, the two monitors show the list's two entries, one each, in
// the stored style (Stretch with Fit: DWPOS_FIT), and Active Desktop is not
// touched; the run log says which monitor got which picture.
TEST_F(PerMonitorBootRun, EachMonitorShowsAnEntryOfItsOwn) {
    const std::vector<std::string> entries = {Narrow(kTwoPaths[0]), Narrow(kTwoPaths[1])};
    for (int run = 0; run < 3; ++run) {
        const std::vector<std::string> log = RunToEnd(false);
        ASSERT_EQ(log.size(), 9u) << ::testing::PrintToString(log);
        const std::string first = log[6].substr(log[6].rfind(' ') + 1);
        const std::string second = first == entries[0] ? entries[1] : entries[0];
        std::vector<std::string> expected = MonitorQueries();
        expected.insert(expected.end(), {"SetPosition 3", "SetWallpaper \\\\?\\DISPLAY#TEST#1 " + first,
                                         "SetWallpaper \\\\?\\DISPLAY#TEST#2 " + second, "Release"});
        EXPECT_EQ(log, expected) << "run " << run;
        EXPECT_TRUE(Logged("info wallpaper set on monitor " + Monitor(1) + ": " + first)) << "run " << run;
        EXPECT_TRUE(Logged("info wallpaper set on monitor " + Monitor(2) + ": " + second)) << "run " << run;
    }
    EXPECT_TRUE(Logged("info style Stretch, proportions Fit (the picture inside, with bars); desktop: the desktop's "
                       "wallpaper object (IDesktopWallpaper), a picture per monitor"));
}

// A monitor the desktop knows but that is detached gets no picture; the
// attached one still gets its own.
TEST_F(PerMonitorBootRun, DetachedMonitorIsLeftOut) {
    SetEnvironmentVariableW(L"VLMR_RECORDER_DETACHED", L"\\\\?\\DISPLAY#TEST#2");
    const std::vector<std::string> log = RunToEnd(false);
    SetEnvironmentVariableW(L"VLMR_RECORDER_DETACHED", nullptr);
    ASSERT_EQ(log.size(), 8u) << ::testing::PrintToString(log);
    const std::string picture = log[6].substr(log[6].rfind(' ') + 1);
    std::vector<std::string> expected = MonitorQueries();
    expected.insert(expected.end(), {"SetPosition 3", "SetWallpaper \\\\?\\DISPLAY#TEST#1 " + picture, "Release"});
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(Logged("info wallpaper set on monitor " + Monitor(1) + ": " + picture));
}

// Where the monitors cannot be told, or Windows has no DesktopWallpaper
// object (Windows 7), the run gives every monitor one picture through Active
// Desktop, after a line that says why.
TEST_F(PerMonitorBootRun, WithoutMonitorsOrTheObjectOnePictureForAll) {
    SetEnvironmentVariableW(L"VLMR_RECORDER_REFUSE", L"GetMonitorDevicePathCount");
    std::vector<std::string> log = RunToEnd(false);
    SetEnvironmentVariableW(L"VLMR_RECORDER_REFUSE", nullptr);
    std::vector<std::string> expected = ExpectedBootLog(false, 3, WallpaperOf(log));
    expected.insert(expected.begin(), {"GetMonitorDevicePathCount", "Release"});
    EXPECT_EQ(log, expected);
    EXPECT_TRUE(Logged("info PerMonitor is on, but the monitors cannot be told: one picture for every monitor"));

    ASSERT_EQ(UnregisterServer(kDesktopWallpaperClass), ERROR_SUCCESS);
    log = RunToEnd(false);
    const std::string drawn = WallpaperOf(log);
    EXPECT_TRUE(drawn == Narrow(kTwoPaths[0]) || drawn == Narrow(kTwoPaths[1])) << drawn;
    EXPECT_EQ(log, ExpectedBootLog(false, 3, drawn));
    const std::vector<std::string> runLog = RunLogOf(folder_.RunLog(), lastRun_);
    const std::string why = "error the desktop cannot take a picture per monitor (IDesktopWallpaper: ";
    const auto line = std::find_if(runLog.begin(), runLog.end(),
                                   [&](const std::string& l) { return l.rfind(why, 0) == 0; });
    ASSERT_NE(line, runLog.end()) << ::testing::PrintToString(runLog);
    const std::string end = "); one picture for every monitor";
    EXPECT_NE(line->find("0x80040154"), std::string::npos) << *line;  // REGDB_E_CLASSNOTREG
    EXPECT_EQ(line->compare(line->size() - std::min(line->size(), end.size()), end.size(), end), 0) << *line;
}

class NotAConfiguratorRequest : public BootRun, public ::testing::WithParamInterface<const wchar_t*> {};

// Only the bare word opens the configurator; anything else is a boot run.
TEST_P(NotAConfiguratorRequest, StartsTheBootRun) {
    folder_.WriteInstalled();
    folder_.WriteBytes(L"IPaths.dat", "");
    folder_.WriteStyle("Tile");
    EXPECT_EQ(RunToEnd(false, GetParam()), ExpectedBootLog(false, 1, Fallback()));
}

INSTANTIATE_TEST_SUITE_P(CommandLines, NotAConfiguratorRequest,
                         ::testing::Values(L" \"Config\"", L" config", L" Config now"),
                         [](const auto& named) {
                             return std::string(named.index == 0 ? "Quoted" : named.index == 1 ? "LowerCase" : "ExtraWord");
                         });

}  // namespace
}  // namespace vlmr::wintest
