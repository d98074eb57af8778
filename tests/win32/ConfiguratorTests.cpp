// The real configurator window of VLMR.exe, driven from outside as a user
// would: its layout, "Load At Startup" and the Run key, the style options,
// the folder chooser, the keyboard, and closing it.
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Scenario.h"
#include "win32/ConfigControlIds.h"
#include "win32/OptionsControlIds.h"

namespace vlmr::wintest {
namespace {

namespace fs = std::filesystem;

constexpr wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr wchar_t kOtherValue[] = L"Velmora Test Neighbour";

// The program's own control ids: the id less 100 is the tab index.
using namespace win32;

LRESULT Send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    DWORD_PTR result = 0;
    EXPECT_TRUE(SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &result))
        << "the program did not answer";
    return static_cast<LRESULT>(result);
}

bool Checked(HWND button) { return Send(button, BM_GETCHECK) == BST_CHECKED; }

struct RegValue {
    DWORD type = 0;
    std::wstring text;  // as stored, with its terminating NUL
};
std::optional<RegValue> RunValue(const wchar_t* name) {
    DWORD type = 0, size = 0;
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, name, RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    std::wstring data(size / sizeof(wchar_t), L'\0');
    if (RegGetValueW(HKEY_CURRENT_USER, kRunKey, name, RRF_RT_ANY | RRF_NOEXPAND, &type, data.data(), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size / sizeof(wchar_t));
    return RegValue{type, data};
}

void SetRunValue(const wchar_t* name, const std::wstring& text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
}

void DeleteRunValue(const wchar_t* name) { RegDeleteKeyValueW(HKEY_CURRENT_USER, kRunKey, name); }

std::wstring IniValue(const fs::path& file, const wchar_t* section, const wchar_t* key) {
    wchar_t value[1024] = {};
    GetPrivateProfileStringW(section, key, L"<absent>", value, 1024, file.c_str());
    return value;
}

// What Wine's own "reg query" prints for the Run value, "" when it finds none.
std::string RegQueryOutput(const wchar_t* name) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE readEnd = nullptr, writeEnd = nullptr;
    if (!CreatePipe(&readEnd, &writeEnd, &inherit, 0)) return {};
    SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = writeEnd;
    startup.hStdError = writeEnd;
    std::wstring command = L"reg.exe query \"HKCU\\" + std::wstring(kRunKey) + L"\" /v \"" + name + L"\"";
    PROCESS_INFORMATION process{};
    const BOOL started =
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                       &process);
    CloseHandle(writeEnd);
    std::string output;
    if (started) {
        char buffer[512];
        DWORD got = 0;
        while (ReadFile(readEnd, buffer, sizeof buffer, &got, nullptr) && got > 0) output.append(buffer, got);
        WaitForSingleObject(process.hProcess, kExitTimeoutMs);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    CloseHandle(readEnd);
    return output;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(20);
    }
    return true;
}

// The focused control of the program's window thread.
HWND FocusOf(HWND window) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

// The folder chooser of the process: a visible window holding the title text.
HWND FindChooser(DWORD processId) {
    for (HWND window : TopLevelWindows(processId, true))
        if (FindWindowExW(window, nullptr, L"Static", L"Select Your Image Directory")) return window;
    return nullptr;
}

class Configurator : public Scenario {
protected:
    void SetUp() override {
        Scenario::SetUp();
        DeleteRunValue(L"VLMR");
        DeleteRunValue(kOtherValue);
    }
    void TearDown() override {
        run_.reset();
        DeleteRunValue(L"VLMR");
        DeleteRunValue(kOtherValue);
    }

    // Starts the configurator of the folder's program and waits for its window.
    void Open(const fs::path& exe) {
        run_ = std::make_unique<Started>(exe);
        ASSERT_TRUE(run_->process.hProcess) << "CreateProcess failed";
        window_ = WaitForWindow([&] { return FindTitledWindow(run_->process.dwProcessId, L"Velmora Configurator"); },
                                kWindowTimeoutMs);
        ASSERT_NE(window_, nullptr) << "the configurator did not open";
    }
    void Open() { Open(folder_.Exe()); }

    HWND Control(int id) const { return ChildWithId(window_, id); }

    void Click(int id) const { PostMessageW(Control(id), BM_CLICK, 0, 0); }

    // Closing ends the program, and no window of it is left.
    void CloseAndExpectTheEnd() {
        PostMessageW(window_, WM_CLOSE, 0, 0);
        EXPECT_EQ(WaitForSingleObject(run_->process.hProcess, kExitTimeoutMs), WAIT_OBJECT_0)
            << "closing the configurator did not end the program";
        EXPECT_TRUE(TopLevelWindows(run_->process.dwProcessId, false).empty());
    }

    // A started program, ended on destruction if it still runs.
    struct Started {
        explicit Started(const fs::path& exe) {
            std::wstring commandLine = L"\"" + exe.wstring() + L"\" Config";
            STARTUPINFOW startup{};
            startup.cb = sizeof startup;
            const std::wstring directory = exe.parent_path().parent_path().wstring();
            if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                directory.c_str(), &startup, &process))
                process = PROCESS_INFORMATION{};
        }
        ~Started() {
            if (!process.hProcess) return;
            if (WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT) {
                TerminateProcess(process.hProcess, 1);
                WaitForSingleObject(process.hProcess, kExitTimeoutMs);
            }
            CloseHandle(process.hThread);
            CloseHandle(process.hProcess);
        }
        Started(const Started&) = delete;
        Started& operator=(const Started&) = delete;
        PROCESS_INFORMATION process{};
    };

    fs::path Ini() const { return folder_.Path() / L"Config.ini"; }

    std::unique_ptr<Started> run_;
    HWND window_ = nullptr;
};

TEST_F(Configurator, OpensWithoutAMessageAndOpeningWritesNothing) {
    Open();
    EXPECT_EQ(FindMessageBox(run_->process.dwProcessId, L"Velmora"), nullptr);
    EXPECT_EQ(WindowTitle(Control(kIdPath)), L"");
    for (int id : {kIdCenter, kIdTile, kIdStretch, kIdStartup}) {
        EXPECT_FALSE(Checked(Control(id))) << id;
    }
    EXPECT_FALSE(fs::exists(Ini()));
    EXPECT_FALSE(RunValue(L"VLMR"));
    const auto style = GetWindowLongPtrW(window_, GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_THICKFRAME | WS_MAXIMIZEBOX),
              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    CloseAndExpectTheEnd();
    EXPECT_FALSE(fs::exists(Ini()));
}

TEST_F(Configurator, LayoutAtNinetySixDpi) {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    ASSERT_EQ(dpi, 96) << "the prefix does not run at 96 dpi";
    Open();
    // At 96 dpi a pixel is 15 twips.
    EXPECT_EQ(ClientSize(window_).cx, kConfiguratorWindow.width / 15);
    EXPECT_EQ(ClientSize(window_).cy, kConfiguratorWindow.height / 15);

    for (const layout::Control& c : kConfiguratorControls) {
        SCOPED_TRACE(c.name);
        const HWND control = Control(win32::ConfigControlIdOf(c.name));
        ASSERT_NE(control, nullptr);
        EXPECT_TRUE(IsWindowVisible(control));
        const HWND container = c.container ? Control(win32::ConfigControlIdOf(c.container)) : window_;
        EXPECT_EQ(GetParent(control), container);
        RECT place{};
        GetWindowRect(control, &place);
        MapWindowPoints(nullptr, container, reinterpret_cast<POINT*>(&place), 2);
        EXPECT_EQ(place.left, c.place.left / 15);
        EXPECT_EQ(place.top, c.place.top / 15);
        EXPECT_EQ(place.right, (c.place.left + c.place.width) / 15);
        EXPECT_EQ(place.bottom, (c.place.top + c.place.height) / 15);
        if (c.kind != layout::Kind::PictureButton) {
            EXPECT_EQ(WindowTitle(control), Widen(c.caption));
        }
    }
    CloseAndExpectTheEnd();
}

TEST_F(Configurator, TabWalksTheControlsInTheirOrder) {
    Open();
    ASSERT_TRUE(WaitUntil([&] { return FocusOf(window_) == Control(kIdPath); })) << "the path field has no focus";
    // The style options are one stop; then the check box, then round again.
    for (int next : {kIdSave, kIdOpen, kIdCenter, kIdStartup, kIdPath}) {
        const HWND from = FocusOf(window_);
        PostMessageW(from, WM_KEYDOWN, VK_TAB, 0x000F0001);
        PostMessageW(from, WM_KEYUP, VK_TAB, static_cast<LPARAM>(0xC00F0001u));
        EXPECT_TRUE(WaitUntil([&] { return FocusOf(window_) == Control(next); })) << "Tab did not reach " << next;
    }
    CloseAndExpectTheEnd();
}

TEST_F(Configurator, TickingLoadAtStartupRegistersTheExeAndClearingRemovesOnlyThatValue) {
    SetRunValue(kOtherValue, L"C:\\Other\\other.exe");
    Open();
    Click(kIdStartup);
    ASSERT_TRUE(WaitUntil([] { return RunValue(L"VLMR").has_value(); })) << "no VLMR value under Run";
    const std::optional<RegValue> value = RunValue(L"VLMR");
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
    const std::wstring exe = folder_.Exe().wstring();
    ASSERT_EQ(exe.find(L' '), std::wstring::npos) << "this case needs a folder without blanks";
    EXPECT_EQ(value->text, exe + L'\0');  // unquoted, one NUL counted
    EXPECT_NE(RegQueryOutput(L"VLMR").find("REG_SZ    " + Narrow(exe)), std::string::npos) << RegQueryOutput(L"VLMR");
    EXPECT_TRUE(WaitUntil([&] { return IniValue(Ini(), L"Startup", L"Enabled") == L"True"; }));
    EXPECT_TRUE(Checked(Control(kIdStartup)));

    Click(kIdStartup);
    EXPECT_TRUE(WaitUntil([] { return !RunValue(L"VLMR"); })) << "clearing left the VLMR value";
    EXPECT_TRUE(WaitUntil([&] { return IniValue(Ini(), L"Startup", L"Enabled") == L"False"; }));
    EXPECT_FALSE(Checked(Control(kIdStartup)));
    ASSERT_TRUE(RunValue(kOtherValue)) << "clearing removed another program's value";
    EXPECT_EQ(RunValue(kOtherValue)->text, std::wstring(L"C:\\Other\\other.exe") + L'\0');
    EXPECT_EQ(RegQueryOutput(L"VLMR").find("REG_SZ"), std::string::npos);
    CloseAndExpectTheEnd();
}

// A renamed copy in a folder with blanks registers itself, in quotation marks.
TEST_F(Configurator, ARenamedCopyInAFolderWithBlanksRegistersItselfQuoted) {
    const fs::path folder = folder_.Root() / L"Wall Paper Tools";
    fs::create_directories(folder);
    const fs::path exe = folder / L"My Wallpaper.exe";
    fs::copy_file(folder_.Exe(), exe);
    Open(exe);
    Click(kIdStartup);
    ASSERT_TRUE(WaitUntil([] { return RunValue(L"VLMR").has_value(); })) << "no VLMR value under Run";
    EXPECT_EQ(RunValue(L"VLMR")->text, L"\"" + exe.wstring() + L"\"" + L'\0');
    EXPECT_NE(RegQueryOutput(L"VLMR").find("REG_SZ    \"" + Narrow(exe.wstring()) + "\""), std::string::npos)
        << RegQueryOutput(L"VLMR");
    EXPECT_TRUE(WaitUntil([&] { return IniValue(folder / L"Config.ini", L"Startup", L"Enabled") == L"True"; }));
    CloseAndExpectTheEnd();
}

TEST_F(Configurator, StoredChoicesAreRestoredAndTheRunValueRewrittenBeforeTheWindowShows) {
    folder_.WriteBytes(L"Config.ini", "[Startup]\r\nEnabled=True\r\n[VLMR]\r\nStyle=Tile\r\n");
    SetRunValue(L"VLMR", L"C:\\Moved Away\\VLMR.exe");
    Open();
    // No waiting: the load ran before the window could be seen.
    ASSERT_TRUE(RunValue(L"VLMR"));
    EXPECT_EQ(RunValue(L"VLMR")->text, folder_.Exe().wstring() + L'\0');
    EXPECT_TRUE(Checked(Control(kIdStartup)));
    EXPECT_TRUE(Checked(Control(kIdTile)));
    EXPECT_FALSE(Checked(Control(kIdCenter)));
    EXPECT_FALSE(Checked(Control(kIdStretch)));
    EXPECT_EQ(IniValue(Ini(), L"VLMR", L"Style"), L"Tile");
    EXPECT_EQ(IniValue(Ini(), L"Startup", L"Enabled"), L"True");
    CloseAndExpectTheEnd();
}

TEST_F(Configurator, StretchIsStoredAtOnceAndKeptWhenTheWindowCloses) {
    Open();
    Click(kIdStretch);
    EXPECT_TRUE(WaitUntil([&] { return IniValue(Ini(), L"VLMR", L"Style") == L"Stretch"; }))
        << "Style is " << Narrow(IniValue(Ini(), L"VLMR", L"Style"));
    EXPECT_TRUE(Checked(Control(kIdStretch)));
    Click(kIdCenter);
    EXPECT_TRUE(WaitUntil([&] { return IniValue(Ini(), L"VLMR", L"Style") == L"Center"; }));
    EXPECT_FALSE(Checked(Control(kIdStretch)));
    EXPECT_EQ(IniValue(Ini(), L"Startup", L"Enabled"), L"<absent>");
    CloseAndExpectTheEnd();
    EXPECT_EQ(IniValue(Ini(), L"VLMR", L"Style"), L"Center");
}

TEST_F(Configurator, TheSystemMenuOpensTheOptionsOverTheConfiguratorAndAClickIsStoredAtOnce) {
    Open();
    PostMessageW(window_, WM_SYSCOMMAND, kOptionsMenuCommand, 0);
    const HWND options = WaitForWindow(
        [&] { return FindTitledWindow(run_->process.dwProcessId, L"Velmora Options"); }, kWindowTimeoutMs);
    ASSERT_NE(options, nullptr) << "the options window did not open";
    EXPECT_EQ(GetWindow(options, GW_OWNER), window_);
    EXPECT_FALSE(IsWindowEnabled(window_)) << "the configurator takes clicks while the options are open";
    EXPECT_FALSE(fs::exists(Ini())) << "opening the options wrote the settings";

    PostMessageW(ChildWithId(options, OptionsControlIdOf("TPng")), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return IniValue(Ini(), L"Options", L"Types") == L".PNG"; }))
        << "Types is " << Narrow(IniValue(Ini(), L"Options", L"Types"));
    PostMessageW(options, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(options) && IsWindowEnabled(window_); }))
        << "closing the options did not give the configurator back";
    CloseAndExpectTheEnd();
    EXPECT_EQ(IniValue(Ini(), L"Options", L"Types"), L".PNG");
}

class FolderChoice : public Configurator {
protected:
    // Opens the chooser with the open-folder button and answers it.
    void ChooseAnswering(int button) {
        PostMessageW(Control(kIdOpen), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
        PostMessageW(Control(kIdOpen), WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
        const HWND chooser = WaitForWindow([&] { return FindChooser(run_->process.dwProcessId); }, kWindowTimeoutMs);
        ASSERT_NE(chooser, nullptr) << "no chooser showing \"Select Your Image Directory\"";
        EXPECT_EQ(GetWindow(chooser, GW_OWNER), nullptr) << "the chooser has an owner";
        EXPECT_TRUE(IsWindowEnabled(window_)) << "the configurator is disabled while the chooser is open";
        PostMessageW(chooser, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
        ASSERT_TRUE(WaitUntil([&] { return !IsWindow(chooser); })) << "the chooser stayed";
    }
};

TEST_F(FolderChoice, CancelEmptiesTheFieldAndLeavesTheTitle) {
    Open();
    const std::wstring typed = L"C:\\typed by hand";
    Send(Control(kIdPath), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(typed.c_str()));
    ChooseAnswering(IDCANCEL);
    EXPECT_TRUE(WaitUntil([&] { return WindowTitle(Control(kIdPath)).empty(); }))
        << "the field holds " << Narrow(WindowTitle(Control(kIdPath)));
    EXPECT_EQ(WindowTitle(window_), L"Velmora Configurator");
    CloseAndExpectTheEnd();
}

TEST_F(FolderChoice, OkPutsTheShortFormOfTheFolderInTheFieldAndTheReminderInTheTitle) {
    Open();
    ChooseAnswering(IDOK);  // the chooser's own selection: the desktop folder
    ASSERT_TRUE(WaitUntil([&] { return !WindowTitle(Control(kIdPath)).empty(); })) << "the field stayed empty";
    const std::wstring chosen = WindowTitle(Control(kIdPath));
    EXPECT_TRUE(fs::is_directory(chosen)) << Narrow(chosen);
    wchar_t shortForm[MAX_PATH] = {};
    GetShortPathNameW(chosen.c_str(), shortForm, MAX_PATH);
    EXPECT_EQ(chosen, shortForm) << "the field holds a long form";
    EXPECT_TRUE(WaitUntil([&] { return WindowTitle(window_) == L"Dont Forget To Click Save..."; }));
    // The chosen folder waits for the save: closing stores nothing.
    CloseAndExpectTheEnd();
    EXPECT_EQ(IniValue(Ini(), L"VLMR", L"Path"), L"<absent>");
}

}  // namespace
}  // namespace vlmr::wintest
