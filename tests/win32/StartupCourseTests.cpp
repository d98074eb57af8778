// The courses of the start-up dispatch that end in a message or the configurator.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>

#include "BuildConfig.h"
#include "Scenario.h"
#include "boot/BannerLayout.h"
#include "config/ConfiguratorLayout.h"

namespace vlmr::wintest {
namespace {

// Client sizes at 96 dpi, where a pixel is 15 twips.
constexpr LONG kBannerWidth = kBannerWindow.width / 15, kBannerHeight = kBannerWindow.height / 15;
constexpr LONG kConfiguratorWidth = kConfiguratorWindow.width / 15, kConfiguratorHeight = kConfiguratorWindow.height / 15;

const std::string kRefusedLine =
    "info VLMR " + std::string(kVersionText) + " started; another copy is running, so this one ends";

class StartupCourse : public Scenario {
protected:
    // Waits for a box of the process titled "Velmora" and checks its text.
    static HWND ExpectMessage(const AppProcess& process, const std::wstring& text) {
        HWND box = WaitForWindow([&] { return FindMessageBox(process.Id(), L"Velmora"); }, kWindowTimeoutMs);
        EXPECT_NE(box, nullptr) << "no message box titled Velmora appeared";
        if (box != nullptr) {
            EXPECT_EQ(Narrow(MessageBoxText(box)), Narrow(text));
        }
        return box;
    }

    // The configurator stand-in: found, sized, closed, and the process gone.
    static void ExpectConfiguratorEndsTheRun(AppProcess& process) {
        HWND configurator =
            WaitForWindow([&] { return FindTitledWindow(process.Id(), L"Velmora Configurator"); }, kWindowTimeoutMs);
        ASSERT_NE(configurator, nullptr) << "the configurator did not open";
        const SIZE client = ClientSize(configurator);
        EXPECT_EQ(client.cx, kConfiguratorWidth);
        EXPECT_EQ(client.cy, kConfiguratorHeight);
        EXPECT_TRUE(process.Running()) << "the program ended while the configurator was open";
        PostMessageW(configurator, WM_CLOSE, 0, 0);
        EXPECT_TRUE(process.WaitForExit(kExitTimeoutMs)) << "closing the configurator did not end the program";
        EXPECT_TRUE(TopLevelWindows(process.Id(), false).empty());
    }

    static void ExpectBannerShownCentred(const AppProcess& process) {
        HWND banner = FindBanner(process.Id());
        ASSERT_NE(banner, nullptr) << "no banner window behind the message";
        const auto style = static_cast<DWORD>(GetWindowLongPtrW(banner, GWL_STYLE));
        EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME), 0u) << "the banner has a frame";
        EXPECT_EQ(WindowTitle(banner), L"") << "the banner has a caption";
        const SIZE client = ClientSize(banner);
        EXPECT_EQ(client.cx, kBannerWidth);
        EXPECT_EQ(client.cy, kBannerHeight);
        RECT window{};
        GetWindowRect(banner, &window);
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        GetMonitorInfoW(MonitorFromWindow(banner, MONITOR_DEFAULTTOPRIMARY), &monitor);
        const auto offCentre = [&](const RECT& area) {
            return std::abs((window.left + window.right) - (area.left + area.right)) +
                   std::abs((window.top + window.bottom) - (area.top + area.bottom));
        };
        // Rounding of an odd size may shift it by a pixel; the work area or the whole screen will do.
        EXPECT_LE(std::min(offCentre(monitor.rcWork), offCentre(monitor.rcMonitor)), 4) << "the banner is not centred";
    }
};

TEST_F(StartupCourse, MissingInstalledMarkerAsksForConfigurationThenOpensTheConfigurator) {
    folder_.WriteList({L"C:\\Pictures\\Lake.bmp"}, ListEncoding::Ansi);
    folder_.WriteStyle("Stretch");
    AppProcess run(folder_);
    ASSERT_TRUE(run.Started());
    HWND box = ExpectMessage(run, L"Please Configure");
    ASSERT_NE(box, nullptr);
    ExpectBannerShownCentred(run);
    ASSERT_TRUE(PressOk(box));
    HWND configurator =
        WaitForWindow([&] { return FindTitledWindow(run.Id(), L"Velmora Configurator"); }, kWindowTimeoutMs);
    ASSERT_NE(configurator, nullptr);
    EXPECT_EQ(FindBanner(run.Id()), nullptr) << "the banner stays visible beside the configurator";
    ExpectConfiguratorEndsTheRun(run);
    EXPECT_TRUE(folder_.LogLines().empty()) << "a wallpaper was applied without the installed marker";
}

TEST_F(StartupCourse, MissingListFileSaysNotConfiguredAndEnds) {
    folder_.WriteInstalled();
    folder_.WriteStyle("Stretch");
    AppProcess run(folder_);
    ASSERT_TRUE(run.Started());
    HWND box = ExpectMessage(run, L"Velmora Is NOT Configured");
    ASSERT_NE(box, nullptr);
    Sleep(300);
    EXPECT_TRUE(run.Running()) << "the program did not wait for the message";
    ASSERT_TRUE(PressOk(box));
    EXPECT_TRUE(run.WaitForExit(kExitTimeoutMs)) << "dismissing the message did not end the program";
    EXPECT_TRUE(TopLevelWindows(run.Id(), false).empty());
    EXPECT_TRUE(folder_.LogLines().empty()) << "a wallpaper was applied without a list";
}

class SecondInstance : public StartupCourse, public ::testing::WithParamInterface<const wchar_t*> {};

// The second start only says so: no banner, no configurator, no wallpaper.
TEST_P(SecondInstance, IsRefusedWhileTheFirstWaitsOnAMessage) {
    folder_.WriteList({L"C:\\Pictures\\Lake.bmp"}, ListEncoding::Ansi);
    folder_.WriteStyle("Stretch");
    AppProcess first(folder_);
    ASSERT_TRUE(first.Started());
    HWND firstBox = ExpectMessage(first, L"Please Configure");
    ASSERT_NE(firstBox, nullptr);

    folder_.WriteInstalled();  // would be a boot run if it were let through
    AppProcess second(folder_, GetParam());
    ASSERT_TRUE(second.Started());
    HWND secondBox = ExpectMessage(second, L"Velmora Is Allready Running");
    ASSERT_NE(secondBox, nullptr);
    EXPECT_EQ(TopLevelWindows(second.Id(), true).size(), 1u) << "the refused start shows more than its message";
    ASSERT_TRUE(PressOk(secondBox));
    EXPECT_TRUE(second.WaitForExit(kExitTimeoutMs)) << "the refused start did not end";
    EXPECT_TRUE(folder_.LogLines().empty());
    EXPECT_EQ(RunLogOf(folder_.RunLog(), second.Id()), std::vector<std::string>{kRefusedLine});

    EXPECT_TRUE(first.Running());
    ASSERT_TRUE(PressOk(firstBox));
    ExpectConfiguratorEndsTheRun(first);
}

INSTANTIATE_TEST_SUITE_P(CommandLines, SecondInstance, ::testing::Values(L"", L" Config"),
                         [](const auto& named) { return std::string(named.index == 0 ? "Bare" : "Config"); });

// Lines of an earlier run, one more than a full log holds.
std::vector<std::string> FullRunLog(const std::string& word) {
    std::vector<std::string> lines;
    for (std::uint64_t size = 0; size <= 1024 * 1024; size += lines.back().size() + 2)
        lines.push_back("2024-01-02 03:04:05 1 info an earlier " + word + " line " + std::to_string(lines.size()));
    return lines;
}

void WriteRunLog(const std::filesystem::path& file, const std::vector<std::string>& lines) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    for (const std::string& line : lines) out << line << "\r\n";
}

// Past 1 MiB the copy that runs alone moves the log aside before its first
// line; a refused copy only adds its line, even to a log that is over.
TEST_F(StartupCourse, FullRunLogRollsOverOnlyInTheCopyThatRunsAlone) {
    const std::filesystem::path aside = folder_.RunLog().wstring() + L".1";
    const std::vector<std::string> earlier = FullRunLog("first");
    WriteRunLog(folder_.RunLog(), earlier);
    AppProcess first(folder_);
    ASSERT_TRUE(first.Started());
    HWND firstBox = ExpectMessage(first, L"Please Configure");
    ASSERT_NE(firstBox, nullptr);
    EXPECT_TRUE(CrLfLines(aside) == earlier) << "the .1 file does not hold the earlier lines";
    EXPECT_EQ(CrLfLines(folder_.RunLog()).size(), 3u) << "the new log holds more than this run's lines";
    EXPECT_EQ(RunLogOf(folder_.RunLog(), first.Id()),
              (std::vector<std::string>{
                  "info the log passed 1048576 bytes; the earlier lines are in its .1 file",
                  "info VLMR " + std::string(kVersionText) + " started: boot run",
                  "info no installed marker yet: the configurator opens",
              }));

    const std::vector<std::string> full = FullRunLog("second");
    WriteRunLog(folder_.RunLog(), full);
    AppProcess second(folder_);
    ASSERT_TRUE(second.Started());
    HWND refused = ExpectMessage(second, L"Velmora Is Allready Running");
    ASSERT_NE(refused, nullptr);
    ASSERT_TRUE(PressOk(refused));
    EXPECT_TRUE(second.WaitForExit(kExitTimeoutMs));
    EXPECT_TRUE(CrLfLines(aside) == earlier) << "the refused copy rolled the log";
    const std::vector<std::string> now = CrLfLines(folder_.RunLog());
    ASSERT_EQ(now.size(), full.size() + 1) << "the refused copy did not add exactly one line";
    EXPECT_TRUE(std::equal(full.begin(), full.end(), now.begin())) << "the refused copy changed the earlier lines";
    EXPECT_EQ(RunLogOf(folder_.RunLog(), second.Id()), std::vector<std::string>{kRefusedLine});

    ASSERT_TRUE(PressOk(firstBox));
    ExpectConfiguratorEndsTheRun(first);
}

TEST_F(StartupCourse, CrashedFirstInstanceDoesNotBlockTheNextStart) {
    AppProcess crashed(folder_);
    ASSERT_TRUE(crashed.Started());
    ASSERT_NE(ExpectMessage(crashed, L"Please Configure"), nullptr);
    crashed.Kill();

    AppProcess next(folder_);
    ASSERT_TRUE(next.Started());
    HWND box = ExpectMessage(next, L"Please Configure");
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(PressOk(box));
    ExpectConfiguratorEndsTheRun(next);
}

class ConfiguratorRequest : public StartupCourse, public ::testing::WithParamInterface<const wchar_t*> {};

// "Config" opens the configurator at once, even unconfigured: no message, no banner.
TEST_P(ConfiguratorRequest, OpensTheConfiguratorWithoutBannerOrMessage) {
    AppProcess run(folder_, GetParam());
    ASSERT_TRUE(run.Started());
    HWND configurator =
        WaitForWindow([&] { return FindTitledWindow(run.Id(), L"Velmora Configurator"); }, kWindowTimeoutMs);
    ASSERT_NE(configurator, nullptr);
    EXPECT_EQ(FindMessageBox(run.Id(), L"Velmora"), nullptr);
    EXPECT_EQ(FindBanner(run.Id()), nullptr);
    ExpectConfiguratorEndsTheRun(run);
}

INSTANTIATE_TEST_SUITE_P(CommandLines, ConfiguratorRequest, ::testing::Values(L" Config", L"   Config"),
                         [](const auto& named) { return std::string(named.index == 0 ? "OneBlank" : "ThreeBlanks"); });

}  // namespace
}  // namespace vlmr::wintest
