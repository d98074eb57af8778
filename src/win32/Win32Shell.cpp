#include "win32/Win32Shell.h"

#include <windows.h>
#include <shellapi.h>

#include <string_view>

#include "store/Text.h"
#include "win32/Handles.h"
#include "win32/WinError.h"
#include "win32/WinText.h"

namespace vlmr::win32 {

namespace {

// Its only purpose is its type, ".HTM": the shell names the program that
// opens web pages.
constexpr std::string_view kProbeText = "\"<HTML>Looking For Browser....<\\HTML>\"\r\n";
static_assert(kProbeText.size() == 40);

// A folder of our own under the user's temp folder, so that no file of the
// user's is ever overwritten and two lookups never meet. Removed with the
// probe when the lookup ends.
class ProbeFolder {
public:
    ProbeFolder() {
        wchar_t base[MAX_PATH + 1];
        const DWORD length = GetTempPathW(MAX_PATH + 1, base);
        if (length == 0 || length > MAX_PATH) {
            error_ = length == 0 ? GetLastError() : ERROR_BUFFER_OVERFLOW;
            return;
        }
        const std::wstring prefix = std::wstring(base, length) + L"Velmora-" + std::to_wstring(GetCurrentProcessId());
        for (unsigned attempt = 0; attempt < 100; ++attempt) {
            std::wstring candidate = prefix + L"-" + std::to_wstring(GetTickCount()) + L"-" + std::to_wstring(attempt);
            if (CreateDirectoryW(candidate.c_str(), nullptr)) {
                path_ = std::move(candidate);
                return;
            }
            error_ = GetLastError();
            if (error_ != ERROR_ALREADY_EXISTS) return;
        }
    }
    ~ProbeFolder() {
        if (!path_.empty()) RemoveDirectoryW(path_.c_str());
    }
    ProbeFolder(const ProbeFolder&) = delete;
    ProbeFolder& operator=(const ProbeFolder&) = delete;

    bool ok() const { return !path_.empty(); }
    DWORD error() const { return error_; }
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
    DWORD error_ = ERROR_SUCCESS;
};

// The probe file; deleted when the lookup ends, found or not.
class ProbeFile {
public:
    explicit ProbeFile(std::wstring path) : path_(std::move(path)) {
        UniqueHandle file =
            Own(CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) {
            error_ = GetLastError();
            return;
        }
        created_ = true;
        DWORD written = 0;
        if (!WriteFile(file.get(), kProbeText.data(), static_cast<DWORD>(kProbeText.size()), &written, nullptr))
            error_ = GetLastError();
        else if (written != kProbeText.size())
            error_ = ERROR_WRITE_FAULT;
    }
    ~ProbeFile() {
        if (created_) DeleteFileW(path_.c_str());
    }
    ProbeFile(const ProbeFile&) = delete;
    ProbeFile& operator=(const ProbeFile&) = delete;

    bool ok() const { return created_ && error_ == ERROR_SUCCESS; }
    DWORD error() const { return error_; }
    const std::wstring& path() const { return path_; }

private:
    std::wstring path_;
    bool created_ = false;
    DWORD error_ = ERROR_SUCCESS;
};

BrowserLookup ProbeFailed(DWORD error) {
    BrowserLookup lookup;
    lookup.result = BrowserLookup::Result::ProbeFailed;
    lookup.problem = ErrorDescription(error == ERROR_SUCCESS ? ERROR_GEN_FAILURE : error);
    return lookup;
}

}  // namespace

BrowserLookup Win32Shell::FindBrowser() {
    ProbeFolder folder;
    if (!folder.ok()) return ProbeFailed(folder.error());
    ProbeFile probe(folder.path() + L"\\temp.HTM");
    if (!probe.ok()) return ProbeFailed(probe.error());

    // Filled with blanks, with room for any path the shell may write and a
    // final NUL of our own in case it writes none.
    std::wstring buffer(MAX_PATH + 1, L' ');
    buffer.push_back(L'\0');
    const auto found = reinterpret_cast<INT_PTR>(FindExecutableW(probe.path().c_str(), nullptr, buffer.data()));
    const std::string browser(TrimBlanks(Narrow(std::wstring_view(buffer.c_str()))));

    BrowserLookup lookup;
    if (found > 32 && !browser.empty()) {
        lookup.result = BrowserLookup::Result::Found;
        lookup.browser = browser;
    }
    return lookup;
}

void Win32Shell::StartBrowser(WindowHandle owner, const std::string& browser, const std::string& address) {
    ShellExecuteW(reinterpret_cast<HWND>(owner), L"open", Widen(browser).c_str(), Widen(address).c_str(), nullptr,
                  SW_SHOWNORMAL);
}

}  // namespace vlmr::win32
