// The Run-key logon list and the folder chooser on the real Windows API.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "win32/Win32FolderChooser.h"
#include "win32/Win32RunKey.h"
#include "win32/WinText.h"

namespace vlmr::win32 {
namespace {

namespace fs = std::filesystem;

// A key of this test's own, never the user's real Run key.
class RunKeyTest : public ::testing::Test {
protected:
    void SetUp() override { RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }
    void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, path_.c_str()); }

    struct Value {
        LSTATUS status = ERROR_FILE_NOT_FOUND;
        DWORD type = 0;
        std::vector<BYTE> bytes;
        std::wstring Text() const {
            return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
        }
    };
    Value Read(const wchar_t* name) const {
        Value value;
        DWORD size = 0;
        value.status = RegGetValueW(HKEY_CURRENT_USER, path_.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                                    nullptr, &size);
        if (value.status != ERROR_SUCCESS) return value;
        value.bytes.resize(size);
        value.status = RegGetValueW(HKEY_CURRENT_USER, path_.c_str(), name, RRF_RT_ANY | RRF_NOEXPAND, &value.type,
                                    value.bytes.data(), &size);
        value.bytes.resize(size);
        return value;
    }

    const std::wstring path_ = L"Software\\Velmora Tests\\Run-" + std::to_wstring(GetCurrentProcessId());
    Win32RunKey runKey_{HKEY_CURRENT_USER, path_};
};

TEST_F(RunKeyTest, WritesTheProgramAsOneStringValueQuotedOnlyWithABlank) {
    ASSERT_TRUE(runKey_.WriteEntry("VLMR", "C:\\Tools\\Wall\\VLMR.exe"));  // the key is created
    Value value = Read(L"VLMR");
    ASSERT_EQ(value.status, ERROR_SUCCESS);
    EXPECT_EQ(value.type, static_cast<DWORD>(REG_SZ));
    // The stored size counts exactly one terminating NUL.
    const std::wstring expected = L"C:\\Tools\\Wall\\VLMR.exe";
    EXPECT_EQ(value.Text(), expected + L'\0');

    ASSERT_TRUE(runKey_.WriteEntry("VLMR", "C:\\Program Files\\Wall\\Renamed.exe"));
    EXPECT_EQ(Read(L"VLMR").Text(), std::wstring(L"\"C:\\Program Files\\Wall\\Renamed.exe\"") + L'\0');

    // Any letter survives the trip.
    ASSERT_TRUE(runKey_.WriteEntry("VLMR", "C:\\Bilder\\\xC3\xA9t\xC3\xA9\\\xE6\xA1\x9C\\VLMR.exe"));
    EXPECT_EQ(Read(L"VLMR").Text(), std::wstring(L"C:\\Bilder\\\u00e9t\u00e9\\\u685c\\VLMR.exe") + L'\0');
}

TEST_F(RunKeyTest, DeletingRemovesOnlyThatValueAndAMissingOneIsNoError) {
    EXPECT_TRUE(runKey_.DeleteEntry("VLMR")) << "a missing key is no error";
    ASSERT_TRUE(runKey_.WriteEntry("Other", "C:\\Other\\other.exe"));
    EXPECT_TRUE(runKey_.DeleteEntry("VLMR")) << "a missing value is no error";
    ASSERT_TRUE(runKey_.WriteEntry("VLMR", "C:\\Tools\\VLMR.exe"));
    ASSERT_TRUE(runKey_.DeleteEntry("VLMR"));
    EXPECT_EQ(Read(L"VLMR").status, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Read(L"Other").Text(), std::wstring(L"C:\\Other\\other.exe") + L'\0');
}

TEST_F(RunKeyTest, FailuresAreReported) {
    // A root handle that names no key.
    Win32RunKey broken(reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(0x12345678)), L"Software\\X");
    const Status written = broken.WriteEntry("VLMR", "C:\\VLMR.exe");
    EXPECT_FALSE(written);
    EXPECT_FALSE(written.description.empty());
    EXPECT_FALSE(broken.DeleteEntry("VLMR"));
}

TEST(RunningExecutable, IsThisTestProgramsOwnPath) {
    const std::string path = RunningExecutablePath();
    EXPECT_TRUE(fs::exists(Widen(path)));
    EXPECT_EQ(fs::path(Widen(path)).filename(), L"win32_platform_tests.exe");
}

TEST(ShortPath, EmptyAndMissingPathsGiveNothing) {
    Win32FolderChooser chooser;
    EXPECT_EQ(chooser.GetShortPath(""), "");
    EXPECT_EQ(chooser.GetShortPath("C:\\no such folder here\\at all"), "");
}

TEST(ShortPath, LongNamesAndBlanksGiveTheSystemsShortFormOfTheSameFolder) {
    const fs::path folder = fs::temp_directory_path() / (L"Velmora short path " + std::to_wstring(GetCurrentProcessId())) /
                            L"My Holiday Pictures 2024";
    fs::create_directories(folder);
    Win32FolderChooser chooser;
    const std::string shortForm = chooser.GetShortPath(Narrow(folder.wstring()));
    ASSERT_FALSE(shortForm.empty());
    EXPECT_EQ(shortForm.find(' '), std::string::npos) << shortForm;
    EXPECT_NE(shortForm.find('~'), std::string::npos) << shortForm;
    EXPECT_TRUE(fs::equivalent(Widen(shortForm), folder));
    fs::remove_all(folder.parent_path());
}

TEST(ShortPath, PathsLongerThanTheOldBufferStillComeBack) {
    // A tree whose short form alone runs past 255 characters.
    const fs::path root = fs::temp_directory_path() / (L"vlmr-deep-" + std::to_wstring(GetCurrentProcessId()));
    std::vector<std::wstring> levels{L"\\\\?\\" + root.wstring()};
    for (int level = 0; level < 30; ++level) levels.push_back(levels.back() + L"\\F" + std::to_wstring(level) + L"abcdef");
    for (const std::wstring& folder : levels) ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    Win32FolderChooser chooser;
    const std::string shortForm = chooser.GetShortPath(Narrow(levels.back()));
    EXPECT_GT(shortForm.size(), 255u);
    EXPECT_TRUE(fs::is_directory(Widen(shortForm)));
    for (auto folder = levels.rbegin(); folder != levels.rend(); ++folder) RemoveDirectoryW(folder->c_str());
}

// The chooser box of this process, once it shows: a dialog holding the title text.
HWND WaitForChooser() {
    struct Search {
        HWND found = nullptr;
    } search;
    for (int attempt = 0; attempt < 300 && !search.found; ++attempt) {
        EnumWindows(
            [](HWND window, LPARAM param) -> BOOL {
                DWORD process = 0;
                GetWindowThreadProcessId(window, &process);
                if (process != GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
                if (FindWindowExW(window, nullptr, L"Static", L"Select Your Image Directory")) {
                    reinterpret_cast<Search*>(param)->found = window;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        if (!search.found) Sleep(100);
    }
    return search.found;
}

class FolderChooserTest : public ::testing::Test {
protected:
    void SetUp() override {
        com_ = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        const HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
        if (!probe) GTEST_SKIP() << "no display to create windows on";
        DestroyWindow(probe);
    }
    void TearDown() override {
        if (SUCCEEDED(com_)) CoUninitialize();
    }

    // Runs the chooser while another thread answers it with the button.
    std::string ChooseAnswering(int button) {
        std::atomic<bool> answered{false};
        HWND owner = reinterpret_cast<HWND>(1);
        std::thread answer([&] {
            const HWND box = WaitForChooser();
            if (!box) return;
            owner = GetWindow(box, GW_OWNER);
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
            answered = true;
        });
        const std::string chosen = chooser_.BrowseForImageFolder();
        answer.join();
        EXPECT_TRUE(answered) << "no chooser box showing \"Select Your Image Directory\"";
        EXPECT_EQ(owner, nullptr) << "the chooser has an owner window";
        return chosen;
    }

    HRESULT com_ = E_FAIL;
    Win32FolderChooser chooser_;
};

TEST_F(FolderChooserTest, CancelGivesNothing) { EXPECT_EQ(ChooseAnswering(IDCANCEL), ""); }

TEST_F(FolderChooserTest, OkGivesTheSelectedFileSystemFolder) {
    // Nothing selected by hand: the box offers its root, the desktop folder.
    const std::string chosen = ChooseAnswering(IDOK);
    ASSERT_FALSE(chosen.empty());
    EXPECT_TRUE(fs::is_directory(Widen(chosen))) << chosen;
    EXPECT_NE(chosen.back(), '\\') << chosen;
}

}  // namespace
}  // namespace vlmr::win32
