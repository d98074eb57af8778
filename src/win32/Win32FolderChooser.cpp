#include "win32/Win32FolderChooser.h"

#include <windows.h>
#include <shlobj.h>

#include <cwchar>
#include <memory>
#include <string>

#include "win32/WinText.h"

namespace vlmr::win32 {

namespace {

constexpr wchar_t kChooserTitle[] = L"Select Your Image Directory";
// The longest path Windows handles, with its NUL.
constexpr DWORD kLongestPath = 32768;

struct ItemListFree {
    void operator()(ITEMIDLIST* items) const noexcept { CoTaskMemFree(items); }
};
using UniqueItemList = std::unique_ptr<ITEMIDLIST, ItemListFree>;

}  // namespace

std::string Win32FolderChooser::BrowseForImageFolder() {
    BROWSEINFOW request{};  // no owner, no root, no display name, no callback
    request.lpszTitle = kChooserTitle;
    request.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
    const UniqueItemList chosen(SHBrowseForFolderW(&request));
    if (!chosen) return {};  // cancelled or closed
    std::wstring path(kLongestPath, L'\0');
    if (!SHGetPathFromIDListEx(chosen.get(), path.data(), kLongestPath, GPFIDL_DEFAULT)) return {};
    path.resize(wcslen(path.c_str()));
    return Narrow(path);
}

std::string Win32FolderChooser::GetShortPath(std::string_view path) {
    if (path.empty()) return {};
    const std::wstring longPath = Widen(path);
    // The first call asks for the size, the NUL included; the second fills
    // the buffer and returns the length without it.
    const DWORD needed = GetShortPathNameW(longPath.c_str(), nullptr, 0);
    if (needed == 0) return {};
    std::wstring shortPath(needed, L'\0');
    const DWORD length = GetShortPathNameW(longPath.c_str(), shortPath.data(), needed);
    if (length == 0 || length >= needed) return {};  // failed, or the path changed in between
    shortPath.resize(length);
    return Narrow(shortPath);
}

}  // namespace vlmr::win32
