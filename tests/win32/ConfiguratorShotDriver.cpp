// The Windows half of the configurator screenshot: configurator-shot.sh
// takes the picture from the X side, this tool finds the window, moves the
// keyboard focus off the path field (its blinking caret would make every
// picture different) and closes the window afterwards.
//
//   ConfiguratorShotDriver show    waits for the configurator, tabs to
//                                  "Load At Startup", prints the window's
//                                  frame and client area on the screen as
//                                  "x y width height cx cy cwidth cheight"
//   ConfiguratorShotDriver options  opens the options window from the
//                                  configurator's system menu, checks that
//                                  it shows JPEG and Fill as stored, moves
//                                  it to the top left and prints its frame
//                                  and client area the same way
//   ConfiguratorShotDriver close   closes the configurator
#include <cstdio>
#include <string>

#include "WindowProbe.h"
#include "win32/OptionsControlIds.h"

namespace {
using namespace vlmr::wintest;

constexpr int kPathId = 101;
constexpr int kStartupId = 109;

HWND WaitForConfigurator() {
    return WaitForWindow([] { return FindTitledWindow(0, L"Velmora Configurator"); }, kWindowTimeoutMs);
}

HWND Focus(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) ? info.hwndFocus : nullptr;
}

// The window's frame and client area on the screen, once it is painted whole.
void PrintPlace(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    RECT frame{};
    GetWindowRect(window, &frame);
    const RECT client = ClientRectOnScreen(window);
    std::printf("%ld %ld %ld %ld %ld %ld %ld %ld\n", frame.left, frame.top, frame.right - frame.left,
                frame.bottom - frame.top, client.left, client.top, client.right - client.left,
                client.bottom - client.top);
}

int Show() {
    HWND window = WaitForConfigurator();
    if (window == nullptr) {
        std::fprintf(stderr, "the configurator did not open\n");
        return 1;
    }
    // Path field, Save, Open, the style options, then the check box.
    if (WaitForWindow([&] { return GetDlgCtrlID(Focus(window)) == kPathId ? window : nullptr; }, 5000) == nullptr) {
        std::fprintf(stderr, "the path field does not have the focus\n");
        return 1;
    }
    for (int step = 0; step < 4; ++step) {
        const HWND from = Focus(window);
        PostMessageW(from, WM_KEYDOWN, VK_TAB, 0x000F0001);
        PostMessageW(from, WM_KEYUP, VK_TAB, static_cast<LPARAM>(0xC00F0001u));
        WaitForWindow([&] { return Focus(window) != from ? window : nullptr; }, 5000);
    }
    if (GetDlgCtrlID(Focus(window)) != kStartupId) {
        std::fprintf(stderr, "Tab did not lead to \"Load At Startup\"\n");
        return 1;
    }
    PrintPlace(window);
    return 0;
}

int Options() {
    using vlmr::win32::OptionsControlIdOf;
    HWND configurator = WaitForConfigurator();
    if (configurator == nullptr) {
        std::fprintf(stderr, "the configurator did not open\n");
        return 1;
    }
    PostMessageW(configurator, WM_SYSCOMMAND, vlmr::win32::kOptionsMenuCommand, 0);
    HWND options = WaitForWindow([] { return FindTitledWindow(0, L"Velmora Options"); }, kWindowTimeoutMs);
    if (options == nullptr) {
        std::fprintf(stderr, "the options window did not open\n");
        return 1;
    }
    for (const char* name : {"TJpeg", "SFill"}) {
        if (SendMessageW(ChildWithId(options, OptionsControlIdOf(name)), BM_GETCHECK, 0, 0) != BST_CHECKED) {
            std::fprintf(stderr, "%s does not show the stored option\n", name);
            return 1;
        }
    }
    // Clear of the configurator, so the picture holds the options window alone.
    SetWindowPos(options, nullptr, 24, 24, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    PrintPlace(options);
    return 0;
}

int Close() {
    HWND window = WaitForConfigurator();
    if (window == nullptr) {
        std::fprintf(stderr, "no configurator to close\n");
        return 1;
    }
    PostMessageW(window, WM_CLOSE, 0, 0);
    return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const std::wstring command = argc == 2 ? argv[1] : L"";
    if (command == L"show") return Show();
    if (command == L"options") return Options();
    if (command == L"close") return Close();
    std::fprintf(stderr, "usage: ConfiguratorShotDriver show | options | close\n");
    return 2;
}
