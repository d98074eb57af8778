#include "win32/WinError.h"

#include <cstdio>
#include <string_view>

#include "win32/WinText.h"

namespace vlmr::win32 {

namespace {

// For a Windows without the English message resources.
std::string OwnDescription(DWORD code) {
    switch (code) {
        case ERROR_FILE_NOT_FOUND: return "The file was not found.";
        case ERROR_PATH_NOT_FOUND: return "The folder was not found.";
        case ERROR_ACCESS_DENIED: return "Access is denied.";
        case ERROR_SHARING_VIOLATION: return "The file is in use by another program.";
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return "There is not enough space on the disk.";
        case ERROR_WRITE_PROTECT: return "The disk is write-protected.";
        case ERROR_NOT_READY: return "The drive is not ready.";
        case ERROR_BAD_NETPATH: return "The network path was not found.";
        default: return "Windows error " + std::to_string(code) + ".";
    }
}

// The system's own words for the code; "" when it has none.
std::string SystemText(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (length == 0 || buffer == nullptr) return {};
    std::wstring_view text(buffer, length);
    while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L' '))
        text.remove_suffix(1);
    std::string out = Narrow(text);
    LocalFree(buffer);
    return out;
}

}  // namespace

std::string ErrorDescription(DWORD code) {
    std::string text = SystemText(code);
    return text.empty() ? OwnDescription(code) : text;
}

std::string HResultDescription(HRESULT result) {
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lX", static_cast<unsigned long>(result));
    // One that wraps a Windows error reads best in that error's words.
    const std::string text = HRESULT_FACILITY(result) == FACILITY_WIN32
                                 ? ErrorDescription(static_cast<DWORD>(HRESULT_CODE(result)))
                                 : SystemText(static_cast<DWORD>(result));
    return text.empty() ? std::string("error ") + code : text + " (" + code + ")";
}

ErrorKind KindOf(DWORD code) {
    switch (code) {
        case ERROR_SUCCESS: return ErrorKind::None;
        case ERROR_FILE_NOT_FOUND: return ErrorKind::FileNotFound;
        case ERROR_PATH_NOT_FOUND: return ErrorKind::PathNotFound;
        case ERROR_ACCESS_DENIED: return ErrorKind::AccessDenied;
        default: return ErrorKind::Other;
    }
}

Status Failure(DWORD code) {
    // A failure without an error code is still a failure.
    if (code == ERROR_SUCCESS) code = ERROR_GEN_FAILURE;
    return Status::Fail(KindOf(code), ErrorDescription(code));
}

}  // namespace vlmr::win32
