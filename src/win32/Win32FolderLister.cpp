#include "win32/Win32FolderLister.h"

#include <windows.h>

#include <algorithm>
#include <climits>

#include "store/Text.h"
#include "win32/Handles.h"
#include "win32/WinError.h"
#include "win32/WinText.h"

namespace vlmr::win32 {

namespace {

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool StartsWith(std::wstring_view text, std::wstring_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// The folder's name for the API. The text the user sees stays as it is;
// only a name too long for the plain form gets the extended-length one.
std::wstring ApiFolderPath(std::string_view folder) {
    std::wstring path = Widen(folder);
    // Room for the "\*" of the search pattern.
    if (path.size() + 2 >= MAX_PATH) path = ExtendedLengthPath(path);
    return path;
}

// The folder's real identity, after any junction or link that led to it.
FolderId IdentityOf(const std::wstring& folder) {
    UniqueHandle handle =
        Own(CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info;
    if (!handle || !GetFileInformationByHandle(handle.get(), &info)) return {};
    return {info.dwVolumeSerialNumber, (static_cast<std::uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow,
            true};
}

bool IsDotEntry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

// Windows takes a \\?\ name as it is, without the clean-up of "/", "." and
// ".." it gives other names, so the full path is made first.
std::wstring ExtendedLengthPath(const std::wstring& path) {
    if (StartsWith(path, L"\\\\?\\")) return path;
    const DWORD needed = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (needed == 0) return path;
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(path.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) return path;
    full.resize(length);
    if (StartsWith(full, L"\\\\?\\") || StartsWith(full, L"\\\\.\\")) return full;
    if (StartsWith(full, L"\\\\")) return L"\\\\?\\UNC\\" + full.substr(2);  // \\server\share
    return L"\\\\?\\" + full;
}

Status Win32FolderLister::ListFolder(std::string_view folder, FolderListing& listing) {
    const std::wstring path = ApiFolderPath(folder);
    std::wstring pattern = path;
    if (pattern.empty() || !IsSeparator(pattern.back())) pattern += L'\\';
    pattern += L'*';

    WIN32_FIND_DATAW entry;
    const HANDLE first = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &entry, FindExSearchNameMatch, nullptr,
                                          FIND_FIRST_EX_LARGE_FETCH);
    if (first == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_NO_MORE_FILES) return Failure(error);
        // Not even "." came back: an empty drive root, or no such folder.
        const DWORD attributes = GetFileAttributesW(path.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0)
            return Failure(ERROR_PATH_NOT_FOUND);
        listing.id = IdentityOf(path);
        return Status::Ok();
    }
    UniqueFind search(first);
    listing.id = IdentityOf(path);

    // Hidden and system items count like any other; a junction or a link to
    // a folder carries the directory attribute and is walked as a folder.
    do {
        if (IsDotEntry(entry.cFileName)) continue;
        std::string name = Narrow(entry.cFileName);
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            listing.subfolders.push_back(std::move(name));
        else
            listing.files.push_back(std::move(name));
    } while (FindNextFileW(search.get(), &entry));
    const DWORD error = GetLastError();
    if (error != ERROR_NO_MORE_FILES) listing.subfoldersStatus = listing.filesStatus = Failure(error);
    return Status::Ok();
}

std::string Win32FolderLister::JoinPath(std::string_view folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder);
    if (path.empty() || (path.back() != '\\' && path.back() != '/')) path += '\\';
    path.append(name);
    return path;
}

std::string Win32FolderLister::PathKey(std::string_view path) {
    // Most paths are plain ASCII, where the file system's upper case is A to Z.
    if (IsAscii(path)) return ToUpperAscii(path);
    const std::wstring wide = Widen(path);
    if (wide.empty() || wide.size() > static_cast<std::size_t>(INT_MAX)) return std::string(path);
    const int length = static_cast<int>(wide.size());
    // Without LCMAP_LINGUISTIC_CASING this is the file system's own case
    // mapping, the one CompareStringOrdinal ignores case with.
    const int needed =
        LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(), length, nullptr, 0, nullptr, nullptr, 0);
    if (needed <= 0) return std::string(path);
    std::wstring upper(static_cast<std::size_t>(needed), L'\0');
    if (LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_UPPERCASE, wide.data(), length, upper.data(), needed, nullptr,
                      nullptr, 0) <= 0)
        return std::string(path);
    return Narrow(upper);
}

}  // namespace vlmr::win32
