#include "win32/Win32LogFile.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <cstdio>

#include "win32/Handles.h"
#include "win32/WinError.h"
#include "win32/WinText.h"

namespace vlmr::win32 {
namespace {

std::wstring LocalAppData() {
    // The variable first: every logon sets it to the known folder, and it
    // lets a relocated profile or a test harness point elsewhere.
    const DWORD needed = GetEnvironmentVariableW(L"LOCALAPPDATA", nullptr, 0);
    if (needed > 1) {
        std::wstring value(needed, L'\0');
        const DWORD length = GetEnvironmentVariableW(L"LOCALAPPDATA", value.data(), needed);
        if (length > 0 && length < needed) {
            value.resize(length);
            return value;
        }
    }
    PWSTR known = nullptr;
    std::wstring folder;
    if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, KF_FLAG_DEFAULT, nullptr, &known))) folder = known;
    CoTaskMemFree(known);
    return folder;
}

std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

// Best effort and never an error: a program started at logon has no stderr.
void WriteToStderr(std::string_view utf8) {
    const HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
    if (err == nullptr || err == INVALID_HANDLE_VALUE) return;
    DWORD done = 0;
    DWORD mode = 0;
    if (GetConsoleMode(err, &mode)) {
        // A console shows UTF-16 rightly whatever its code page.
        const std::wstring text = Widen(utf8);
        WriteConsoleW(err, text.data(), static_cast<DWORD>(text.size()), &done, nullptr);
    } else {
        WriteFile(err, utf8.data(), static_cast<DWORD>(utf8.size()), &done, nullptr);
    }
}

// Append-only access: each write lands at the end of the file as it is at
// that moment, so two copies writing at once never overwrite each other.
// The sharing lets another copy write and lets the holder of the instance
// claim move the log aside while a copy has it open.
Status OpenForAppend(const std::wstring& path, UniqueHandle& file) {
    file = Own(CreateFileW(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastFailure();
    // A pipe or a device in the log's place could make a write wait, or
    // swallow the lines: only a file on a disk is written.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) {
        file.reset();
        return Status::Fail(ErrorKind::Other, "it is not a file on a disk");
    }
    return Status::Ok();
}

}  // namespace

std::wstring DefaultLogPath() {
    const std::wstring folder = LocalAppData();
    return folder.empty() ? std::wstring() : folder + L"\\Velmora\\VLMR.log";
}

Win32LogFile::Win32LogFile(std::wstring path) : path_(std::move(path)) {}

std::string Win32LogFile::LocalTimestamp() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                  now.wMinute, now.wSecond);
    return text;
}

std::uint64_t Win32LogFile::ProcessId() { return GetCurrentProcessId(); }

Status Win32LogFile::Append(std::string_view line) {
    std::string whole(line);
    whole += "\r\n";
    WriteToStderr(whole);
    if (path_.empty()) return Status::Fail(ErrorKind::PathNotFound, "the local application data folder is unknown");

    UniqueHandle file;
    Status opened = OpenForAppend(path_, file);
    if (!opened && opened.kind == ErrorKind::PathNotFound) {
        // The first line ever: the Velmora folder is made here.
        if (!CreateDirectoryW(FolderOf(path_).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
            return LastFailure();
        opened = OpenForAppend(path_, file);
    }
    if (!opened) return opened;
    // One write for the whole line, so no other copy's line lands inside it.
    DWORD written = 0;
    if (!WriteFile(file.get(), whole.data(), static_cast<DWORD>(whole.size()), &written, nullptr))
        return LastFailure();
    if (written != whole.size()) return Failure(ERROR_HANDLE_DISK_FULL);
    return Status::Ok();
}

std::uint64_t Win32LogFile::Size() {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (path_.empty() || !GetFileAttributesExW(path_.c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
        return 0;
    return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

Status Win32LogFile::MoveAside() {
    if (path_.empty()) return Status::Fail(ErrorKind::PathNotFound, "the local application data folder is unknown");
    if (!MoveFileExW(path_.c_str(), (path_ + L".1").c_str(), MOVEFILE_REPLACE_EXISTING)) return LastFailure();
    return Status::Ok();
}

void Win32LogFile::ReportUnwritable(const Status& why) {
    const std::string where = path_.empty() ? std::string("VLMR.log") : Narrow(path_);
    const std::string text =
        "VLMR: the log " + where + " cannot be written (" + why.description + "); its lines go to stderr only\r\n";
    WriteToStderr(text);
    // Seen in a debugger even when nothing reads stderr.
    OutputDebugStringW(Widen(text).c_str());
}

}  // namespace vlmr::win32
