#include "win32/Win32FileSystem.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "win32/Handles.h"
#include "win32/WinError.h"
#include "win32/WinText.h"

namespace vlmr::win32 {

namespace {

// WriteFile takes a DWORD count; write in pieces well below that.
constexpr std::size_t kChunk = 1u << 24;

Status WriteAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD piece = static_cast<DWORD>(std::min(bytes.size(), kChunk));
        DWORD written = 0;
        if (!WriteFile(file, bytes.data(), piece, &written, nullptr)) return LastFailure();
        if (written == 0) return Failure(ERROR_WRITE_FAULT);
        bytes.remove_prefix(written);
    }
    return Status::Ok();
}

// A name beside the target that no other writer uses: the process id and a
// counter; the caller tries the next one while a name is taken.
std::wstring TemporarySibling(const std::wstring& target) {
    static std::atomic<unsigned> counter{0};
    return target + L".~" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(counter++) + L".tmp";
}

}  // namespace

Status Win32FileSystem::ReadTextFile(std::string_view path, std::string& text, std::size_t limit) {
    UniqueHandle file = Own(CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return LastFailure();
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size)) return LastFailure();
    // Pipes, consoles and devices have no size of their own to trust.
    if (GetFileType(file.get()) != FILE_TYPE_DISK) return Failure(ERROR_INVALID_FUNCTION);
    if (size.QuadPart < 0 || static_cast<unsigned long long>(size.QuadPart) > limit) return Failure(ERROR_FILE_TOO_LARGE);
    std::string bytes;
    bytes.resize(static_cast<std::size_t>(size.QuadPart));
    std::size_t filled = 0;
    while (filled < bytes.size()) {
        const DWORD piece = static_cast<DWORD>(std::min(bytes.size() - filled, kChunk));
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data() + filled, piece, &read, nullptr)) return LastFailure();
        if (read == 0) break;  // the file shrank while we read it
        filled += read;
    }
    bytes.resize(filled);
    text = DecodeTextFile(bytes, GetACP());
    return Status::Ok();
}

Status Win32FileSystem::WriteTextFileAtomic(std::string_view path, std::string_view text) {
    const std::wstring target = Widen(path);
    const std::string bytes = EncodeTextFile(text, GetACP());

    // The temporary file lives in the target's folder, so the final rename
    // never crosses a volume and either happens whole or not at all.
    std::wstring temporary;
    UniqueHandle file;
    for (unsigned attempt = 0; !file; ++attempt) {
        temporary = TemporarySibling(target);
        file = Own(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                               nullptr));
        if (!file && (GetLastError() != ERROR_FILE_EXISTS || attempt >= 100)) return LastFailure();
    }

    Status status = WriteAll(file.get(), bytes);
    if (status && !FlushFileBuffers(file.get())) status = LastFailure();
    file.reset();
    if (status && !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        status = LastFailure();
    if (!status) DeleteFileW(temporary.c_str());
    return status;
}

Status Win32FileSystem::WriteTextFile(std::string_view path, std::string_view text) {
    UniqueHandle file = Own(CreateFileW(Widen(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return LastFailure();
    return WriteAll(file.get(), EncodeTextFile(text, GetACP()));
}

Status Win32FileSystem::RemoveFile(std::string_view path) {
    if (!DeleteFileW(Widen(path).c_str())) return LastFailure();
    return Status::Ok();
}

Status Win32FileSystem::FirstMatchingFile(std::string_view pattern, std::string& name) {
    name.clear();
    WIN32_FIND_DATAW entry;
    HANDLE first =
        FindFirstFileExW(Widen(pattern).c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr, 0);
    if (first == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        // Nothing matches, or the folder is not there: an answer, not a failure.
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_NO_MORE_FILES)
            return Status::Ok();
        return Failure(error);
    }
    UniqueFind search(first);
    constexpr DWORD kSkipped = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    do {
        if ((entry.dwFileAttributes & kSkipped) == 0) {
            name = Narrow(entry.cFileName);
            return Status::Ok();
        }
    } while (FindNextFileW(search.get(), &entry));
    const DWORD error = GetLastError();
    if (error != ERROR_NO_MORE_FILES) return Failure(error);
    return Status::Ok();
}

}  // namespace vlmr::win32
