// Settings, shell, wallpaper service and the two windows on the real API.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "boot/BannerLayout.h"
#include "win32/ActiveDesktopService.h"
#include "win32/ComApartment.h"
#include "win32/BannerWindow.h"
#include "win32/Dpi.h"
#include "win32/ProfileSettings.h"
#include "win32/Win32Shell.h"
#include "win32/WinText.h"

namespace vlmr::win32 {
namespace {

namespace fs = std::filesystem;

fs::path FreshFolder(const wchar_t* stem) {
    static unsigned next = 0;
    const fs::path folder = fs::temp_directory_path() /
                            (stem + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(next++));
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}

TEST(ProfileSettings, ValuesRoundTripAndLongOnesComeBackCut) {
    const fs::path folder = FreshFolder(L"vlmr-ini-");
    const std::string file = Narrow((folder / L"Config.ini").wstring());
    ProfileSettings settings;

    EXPECT_EQ(settings.Read("VLMR", "Style", file), "");
    EXPECT_FALSE(fs::exists(Widen(file)));  // a read never creates the file

    EXPECT_TRUE(settings.Write("VLMR", "Style", "Stretch", file));
    EXPECT_TRUE(settings.Write("Startup", "Enabled", "True", file));
    EXPECT_EQ(settings.Read("VLMR", "Style", file), "Stretch");
    EXPECT_EQ(settings.Read("vlmr", "STYLE", file), "Stretch");  // names match without regard to case
    EXPECT_EQ(settings.Read("Startup", "Enabled", file), "True");
    EXPECT_EQ(settings.Read("VLMR", "Path", file), "");

    const std::string longValue(300, 'x');
    EXPECT_TRUE(settings.Write("VLMR", "Path", longValue, file));
    EXPECT_EQ(settings.Read("VLMR", "Path", file), longValue.substr(0, 254));
    fs::remove_all(folder);
}

TEST(Win32Shell, TheBrowserProbeLeavesNothingBehind) {
    const fs::path temp = fs::temp_directory_path();
    auto probeFolders = [&] {
        std::size_t count = 0;
        for (const auto& entry : fs::directory_iterator(temp))
            if (entry.path().filename().wstring().rfind(L"Velmora-", 0) == 0) ++count;
        return count;
    };
    // A file of the user's by the probe's name stays as it was.
    const fs::path work = FreshFolder(L"vlmr-cwd-");
    const fs::path previous = fs::current_path();
    fs::current_path(work);
    std::ofstream(work / L"temp.HTM", std::ios::binary) << "mine";
    const std::size_t before = probeFolders();

    Win32Shell shell;
    const BrowserLookup lookup = shell.FindBrowser();

    EXPECT_EQ(probeFolders(), before);
    std::ifstream in(work / L"temp.HTM", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()), "mine");
    in.close();
    EXPECT_NE(lookup.result, BrowserLookup::Result::ProbeFailed) << lookup.problem;
    if (lookup.result == BrowserLookup::Result::Found) {
        EXPECT_FALSE(lookup.browser.empty());
        EXPECT_NE(lookup.browser.front(), ' ');
        EXPECT_NE(lookup.browser.back(), ' ');
    }
    fs::current_path(previous);
    fs::remove_all(work);
}

TEST(ActiveDesktopService, NoObjectWithoutCom) {
    // This thread has not joined COM, so creating the object must fail
    // cleanly rather than hand out a broken one.
    ActiveDesktopService service;
    EXPECT_EQ(service.Create(), nullptr);
    // Joined, the object is made, unless joining is reported to have failed.
    const ComApartment com;
    ASSERT_TRUE(com.ok());
    EXPECT_NE(ActiveDesktopService(com.result()).Create(), nullptr);
    EXPECT_EQ(ActiveDesktopService(E_FAIL).Create(), nullptr);
}

// Wine without an X display creates no windows at all; the window tests
// then have nothing to look at.
bool WindowsCanBeCreated() {
    const HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    if (!probe) return false;
    DestroyWindow(probe);
    return true;
}

SIZE ClientSize(HWND window) {
    RECT client{};
    GetClientRect(window, &client);
    return {client.right - client.left, client.bottom - client.top};
}

TEST(BannerWindow, ClientIs245By50AtNinetySixDpiAndAClickReachesThePresenter) {
    if (!WindowsCanBeCreated()) GTEST_SKIP() << "no display to create windows on";
    BannerWindow banner(GetModuleHandleW(nullptr));
    const auto window = reinterpret_cast<HWND>(banner.Handle());
    ASSERT_TRUE(IsWindow(window));
    const UINT dpi = DpiOfWindow(window);
    const SIZE size = ClientSize(window);
    EXPECT_EQ(size.cx, TwipsToPixels(kBannerWindow.width, dpi));
    EXPECT_EQ(size.cy, TwipsToPixels(kBannerWindow.height, dpi));
    const auto style = GetWindowLongPtrW(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME));
    EXPECT_EQ(Narrow(WindowText(window)), kBannerWindow.caption);

    int clicks = 0;
    banner.OnClick([&] { ++clicks; });
    SendMessageW(window, WM_LBUTTONUP, 0, MAKELPARAM(10, 10));
    EXPECT_EQ(clicks, 1);

    banner.Unload();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(banner.Handle(), 0u);
}

}  // namespace
}  // namespace vlmr::win32
