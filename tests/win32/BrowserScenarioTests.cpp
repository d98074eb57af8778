// The configurator's credit label opens the home page: a stand-in browser is
// registered for web pages in the prefix, the real VLMR.exe runs in a current
// folder and a temp folder of the test's own, and the label gets a click.
#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <utility>

#include <windows.h>

#include <tlhelp32.h>

#include "BuildConfig.h"
#include "Scenario.h"
#include "win32/ConfigControlIds.h"

#ifndef VELMORA_FAKE_BROWSER
#error "the build must define VELMORA_FAKE_BROWSER"
#endif

namespace vlmr::wintest {
namespace {

namespace fs = std::filesystem;

using win32::kIdCredit;
const std::wstring kClasses = L"Software\\Classes\\";
const std::wstring kNotFoundTitle = L"Browser Not Found";
// A file of the user's that happens to bear the probe's name.
const std::string kUsersPage("<p>mine, not a probe</p>\r\n\0\xFF", 28);

std::string FileBytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::set<std::wstring> Entries(const fs::path& folder) {
    std::set<std::wstring> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(folder, error)) names.insert(entry.path().filename().wstring());
    return names;
}

bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = kWindowTimeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (!done()) {
        if (GetTickCount64() >= deadline) return false;
        Sleep(20);
    }
    return true;
}

bool KeyExists(HKEY root, const std::wstring& key) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
    RegCloseKey(opened);
    return true;
}

// The default value of a key under HKLM\Software\Classes, where Wine looks up
// file types; put back as it was when the test ends, with any key levels the
// test added removed again.
class ClassesDefault {
public:
    explicit ClassesDefault(const std::wstring& subKey) : key_(kClasses + subKey) {
        for (std::wstring level = key_; level.size() > kClasses.size(); level.resize(level.rfind(L'\\'))) {
            if (KeyExists(HKEY_LOCAL_MACHINE, level)) break;
            missing_.push_back(level);
        }
        DWORD size = 0;
        if (RegGetValueW(HKEY_LOCAL_MACHINE, key_.c_str(), nullptr, RRF_RT_ANY | RRF_NOEXPAND, &type_, nullptr,
                         &size) == ERROR_SUCCESS) {
            old_.emplace(size, '\0');
            if (RegGetValueW(HKEY_LOCAL_MACHINE, key_.c_str(), nullptr, RRF_RT_ANY | RRF_NOEXPAND, &type_,
                             old_->data(), &size) != ERROR_SUCCESS)
                old_.reset();
            else
                old_->resize(size);
        }
    }
    ~ClassesDefault() {
        if (missing_.empty()) {
            HKEY key = nullptr;
            if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, key_.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                                nullptr) != ERROR_SUCCESS)
                return;
            if (old_)
                RegSetValueExW(key, nullptr, 0, type_, reinterpret_cast<const BYTE*>(old_->data()),
                               static_cast<DWORD>(old_->size()));
            else
                RegDeleteValueW(key, nullptr);
            RegCloseKey(key);
        } else {
            for (const std::wstring& level : missing_) RegDeleteKeyW(HKEY_LOCAL_MACHINE, level.c_str());
        }
    }
    ClassesDefault(const ClassesDefault&) = delete;
    ClassesDefault& operator=(const ClassesDefault&) = delete;

    LSTATUS Set(const std::wstring& text) const {
        return RegSetKeyValueW(HKEY_LOCAL_MACHINE, key_.c_str(), nullptr, REG_SZ, text.c_str(),
                               static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }
    // Removes the key itself.
    LSTATUS Remove() const { return RegDeleteKeyW(HKEY_LOCAL_MACHINE, key_.c_str()); }

private:
    std::wstring key_;
    std::vector<std::wstring> missing_;  // deepest first
    DWORD type_ = REG_SZ;
    std::optional<std::string> old_;
};

// The test's environment with some variables replaced, as CreateProcess takes it.
std::wstring EnvironmentWith(const std::vector<std::pair<std::wstring, std::wstring>>& overrides) {
    auto nameOf = [](const std::wstring& entry) { return entry.substr(0, entry.find(L'=', 1)); };
    auto sameName = [](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(a.c_str(), -1, b.c_str(), -1, TRUE) == CSTR_EQUAL;
    };
    std::vector<std::wstring> entries;
    LPWCH block = GetEnvironmentStringsW();
    for (const wchar_t* entry = block; *entry != L'\0'; entry += wcslen(entry) + 1) {
        const std::wstring text(entry);
        if (std::none_of(overrides.begin(), overrides.end(),
                         [&](const auto& o) { return sameName(nameOf(text), o.first); }))
            entries.push_back(text);
    }
    FreeEnvironmentStringsW(block);
    for (const auto& [name, value] : overrides) entries.push_back(name + L"=" + value);
    std::sort(entries.begin(), entries.end(), [&](const std::wstring& a, const std::wstring& b) {
        return CompareStringOrdinal(nameOf(a).c_str(), -1, nameOf(b).c_str(), -1, TRUE) == CSTR_LESS_THAN;
    });
    std::wstring result;
    for (const std::wstring& entry : entries) result += entry + L'\0';
    return result + L'\0';
}

std::vector<HWND> VisibleButtons(HWND box) {
    std::vector<HWND> buttons;
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        if (WindowClass(child) == L"Button" && IsWindowVisible(child)) buttons.push_back(child);
    return buttons;
}

// VLMR.exe Config in a current folder and with an environment of the test's choosing.
class Program {
public:
    Program(const fs::path& exe, const fs::path& currentFolder, std::wstring environment) {
        std::wstring commandLine = L"\"" + exe.wstring() + L"\" Config";
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        if (!CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_UNICODE_ENVIRONMENT,
                            environment.data(), currentFolder.c_str(), &startup, &info_))
            info_ = PROCESS_INFORMATION{};
    }
    ~Program() {
        if (!info_.hProcess) return;
        if (Running()) {
            TerminateProcess(info_.hProcess, 1);
            WaitForSingleObject(info_.hProcess, kExitTimeoutMs);
        }
        CloseHandle(info_.hThread);
        CloseHandle(info_.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return info_.hProcess != nullptr; }
    bool Running() const { return info_.hProcess && WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }
    DWORD Id() const { return info_.dwProcessId; }

private:
    PROCESS_INFORMATION info_{};
};

class CreditLabel : public Scenario {
protected:
    void SetUp() override {
        // Wine merges HKCU over HKLM for file types: an entry there would hide ours.
        ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kClasses + L".htm"));
        ASSERT_FALSE(KeyExists(HKEY_CURRENT_USER, kClasses + L"htmlfile"));
        fs::create_directories(current_);
        fs::create_directories(temp_);
        fs::create_directories(browser_.parent_path());
        fs::copy_file(FromHostPath(VELMORA_FAKE_BROWSER), browser_);
    }

    // The stand-in browser opens web pages, as a browser's installer would set it up.
    void Register() {
        ASSERT_EQ(type_.Set(L"htmlfile"), ERROR_SUCCESS);
        ASSERT_EQ(command_.Set(L"\"" + browser_.wstring() + L"\" \"%1\""), ERROR_SUCCESS);
    }
    void Unregister() { ASSERT_EQ(command_.Remove(), ERROR_SUCCESS); }

    void Start(const fs::path& temp) {
        processTemp_ = temp;
        program_ = std::make_unique<Program>(
            folder_.Exe(), current_,
            EnvironmentWith({{L"TMP", temp.wstring()},
                             {L"TEMP", temp.wstring()},
                             {L"VELMORA_FAKE_BROWSER_LOG", browserLog_.wstring()}}));
        ASSERT_TRUE(program_->Started()) << "CreateProcess failed: " << GetLastError();
        window_ = WaitForWindow([&] { return FindTitledWindow(program_->Id(), L"Velmora Configurator"); },
                                kWindowTimeoutMs);
        ASSERT_NE(window_, nullptr) << "the configurator did not open";
        label_ = GetDlgItem(window_, kIdCredit);
        ASSERT_NE(label_, nullptr);
        ASSERT_EQ(WindowTitle(label_), L"Corvantis");
    }
    void Start() { Start(temp_); }

    void Click() const {
        PostMessageW(label_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 6));
        PostMessageW(label_, WM_LBUTTONUP, 0, MAKELPARAM(10, 6));
    }
    // Pressed on the label, moved off and released there; handled when this returns.
    void PressAndDragOff() const {
        SendMessageW(label_, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(10, 6));
        SendMessageW(label_, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(10, -40));
        SendMessageW(label_, WM_LBUTTONUP, 0, MAKELPARAM(10, -40));
    }

    // Whether the stand-in browser was ever started: still running, or gone
    // after writing its line (the process list is read first).
    bool BrowserEverStarted() const {
        bool running = false;
        const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        EXPECT_NE(snapshot, INVALID_HANDLE_VALUE);
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof entry;
        for (BOOL more = Process32FirstW(snapshot, &entry); more && !running; more = Process32NextW(snapshot, &entry))
            running = CompareStringOrdinal(entry.szExeFile, -1, browser_.filename().c_str(), -1, TRUE) == CSTR_EQUAL;
        CloseHandle(snapshot);
        return running || fs::exists(browserLog_);
    }

    // Each start of the stand-in browser, with its parameter text.
    std::vector<std::string> BrowserStarts() const {
        std::vector<std::string> starts;
        std::istringstream lines(FileBytes(browserLog_));
        for (std::string line; std::getline(lines, line);) starts.push_back(line);
        return starts;
    }
    void ExpectStarts(size_t count) const {
        EXPECT_TRUE(WaitUntil([&] { return BrowserStarts().size() >= count; }))
            << "the browser was started " << BrowserStarts().size() << " times, not " << count;
        EXPECT_EQ(BrowserStarts(), std::vector<std::string>(count, kHomePage));
    }

    void ExpectConfiguratorOpen() const {
        EXPECT_TRUE(program_->Running());
        EXPECT_EQ(FindTitledWindow(program_->Id(), L"Velmora Configurator"), window_);
        EXPECT_TRUE(IsWindowVisible(window_));
        EXPECT_FALSE(IsIconic(window_));
    }
    void ExpectNoMessageBox() const {
        for (HWND window : TopLevelWindows(program_->Id(), true))
            EXPECT_NE(WindowClass(window), L"#32770") << "a box came up: " << Narrow(WindowTitle(window));
    }

    // The box titled "Browser Not Found": its text, its one button and the icon
    // it shows; dismissed afterwards.
    void ExpectNotFoundBox(const std::function<void(const std::wstring&)>& checkText) const {
        const HWND box = WaitForWindow([&] { return FindMessageBox(program_->Id(), kNotFoundTitle); },
                                       kWindowTimeoutMs);
        ASSERT_NE(box, nullptr) << "no box titled \"Browser Not Found\"";
        checkText(MessageBoxText(box));
        const std::vector<HWND> buttons = VisibleButtons(box);
        ASSERT_EQ(buttons.size(), 1u);
        EXPECT_EQ(GetDlgCtrlID(buttons.front()), IDOK);
        std::string icon;
        WaitUntil([&] { return (icon = ShownIcon(box)) == "warning"; }, 3000);
        EXPECT_EQ(icon, "warning");
        EXPECT_EQ(Entries(processTemp_), std::set<std::wstring>{}) << "the probe is still there while the box shows";
        ASSERT_TRUE(PressOk(box));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); })) << "the box stayed";
    }

    void PlaceUsersPage() {
        std::ofstream(current_ / L"temp.HTM", std::ios::binary) << kUsersPage;
        usersPageTime_ = fs::last_write_time(current_ / L"temp.HTM");
    }
    void ExpectUsersPageUntouched() const {
        EXPECT_EQ(Entries(current_), std::set<std::wstring>{L"temp.HTM"});
        EXPECT_EQ(FileBytes(current_ / L"temp.HTM"), kUsersPage);
        EXPECT_EQ(fs::last_write_time(current_ / L"temp.HTM"), usersPageTime_) << "the user's file was rewritten";
    }

    const fs::path current_ = folder_.Root() / L"Current Folder";
    const fs::path temp_ = folder_.Root() / L"Temp";
    const fs::path browser_ = folder_.Root() / L"Web Browser" / L"Fake Browser.exe";
    const fs::path browserLog_ = folder_.Root() / L"browser.log";
    fs::path processTemp_;
    fs::file_time_type usersPageTime_;
    ClassesDefault type_{L".htm"};
    ClassesDefault command_{L"htmlfile\\shell\\open\\command"};
    std::unique_ptr<Program> program_;
    HWND window_ = nullptr;
    HWND label_ = nullptr;
};

TEST_F(CreditLabel, StartsTheRegisteredBrowserWithTheHomePageAndLeavesNoProbe) {
    Register();
    Start();
    Click();
    ExpectStarts(1);
    ExpectNoMessageBox();
    ExpectConfiguratorOpen();
    EXPECT_EQ(Entries(current_), std::set<std::wstring>{});
    EXPECT_EQ(Entries(temp_), std::set<std::wstring>{});

    // A page of the user's by the probe's name stays as it was.
    PlaceUsersPage();
    Click();
    ExpectStarts(2);
    ExpectUsersPageUntouched();
    EXPECT_EQ(Entries(temp_), std::set<std::wstring>{});
    ExpectConfiguratorOpen();
}

// The click is complete on the release over the label, as a button's: a
// press dragged off it opens nothing, and the next click opens the page once.
TEST_F(CreditLabel, APressDraggedOffTheLabelStartsNothing) {
    Register();
    Start();
    PressAndDragOff();
    EXPECT_FALSE(BrowserEverStarted()) << "a press released off the label started the browser";
    Click();
    ExpectStarts(1);
    ExpectNoMessageBox();
    ExpectConfiguratorOpen();
}

// Removed, then registered again: each click looks the browser up anew.
TEST_F(CreditLabel, WithoutABrowserTheClickSaysSoAndStartsNothing) {
    Register();
    Unregister();
    PlaceUsersPage();
    Start();
    Click();
    ExpectNotFoundBox([](const std::wstring& text) { EXPECT_EQ(text, L"Could not find a Browser!!!"); });
    EXPECT_FALSE(fs::exists(browserLog_));
    ExpectUsersPageUntouched();
    EXPECT_EQ(Entries(temp_), std::set<std::wstring>{});
    ExpectConfiguratorOpen();

    Register();
    Click();
    ExpectStarts(1);  // and only now
    ExpectUsersPageUntouched();
    EXPECT_EQ(Entries(temp_), std::set<std::wstring>{});
}

// No place for the probe: the user is told why, and nothing falls back on the
// current folder; once the temp folder is there, the click works.
TEST_F(CreditLabel, AProbeThatCannotBeWrittenIsReportedAndStartsNothing) {
    Register();
    const fs::path later = folder_.Root() / L"Temp Not Yet";
    Start(later);
    Click();
    ExpectNotFoundBox([](const std::wstring& text) {
        const std::wstring reason =
            L"Velmora could not create the temporary file it uses to find your web browser: ";
        EXPECT_EQ(text.rfind(reason, 0), 0u) << Narrow(text);
        EXPECT_GT(text.size(), reason.size() + 3) << "no reason given";
    });
    EXPECT_EQ(Entries(current_), std::set<std::wstring>{});
    EXPECT_FALSE(fs::exists(later));
    EXPECT_FALSE(fs::exists(browserLog_));
    ExpectConfiguratorOpen();

    fs::create_directories(later);
    Click();
    ExpectStarts(1);
    EXPECT_EQ(Entries(later), std::set<std::wstring>{});
    EXPECT_EQ(Entries(current_), std::set<std::wstring>{});
}

}  // namespace
}  // namespace vlmr::wintest
