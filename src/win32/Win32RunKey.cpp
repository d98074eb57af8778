#include "win32/Win32RunKey.h"

#include <memory>
#include <type_traits>

#include "store/LogonEntry.h"
#include "win32/ModulePath.h"
#include "win32/WinError.h"
#include "win32/WinText.h"

namespace vlmr::win32 {

namespace {

struct KeyCloser {
    void operator()(HKEY key) const noexcept { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

}  // namespace

Status Win32RunKey::WriteEntry(std::string_view name, std::string_view program) {
    HKEY opened = nullptr;
    // A registry call returns its error; it does not set the thread's last error.
    LSTATUS status = RegCreateKeyExW(root_, keyPath_.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE,
                                     nullptr, &opened, nullptr);
    if (status != ERROR_SUCCESS) return Failure(static_cast<DWORD>(status));
    const UniqueKey key(opened);
    const std::wstring data = Widen(RunEntryText(program));
    // The size counts the terminating NUL.
    const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    status = RegSetValueExW(key.get(), Widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                            bytes);
    return status == ERROR_SUCCESS ? Status::Ok() : Failure(static_cast<DWORD>(status));
}

Status Win32RunKey::DeleteEntry(std::string_view name) {
    HKEY opened = nullptr;
    LSTATUS status = RegOpenKeyExW(root_, keyPath_.c_str(), 0, KEY_SET_VALUE, &opened);
    if (status == ERROR_FILE_NOT_FOUND) return Status::Ok();  // no key, so no entry
    if (status != ERROR_SUCCESS) return Failure(static_cast<DWORD>(status));
    const UniqueKey key(opened);
    status = RegDeleteValueW(key.get(), Widen(name).c_str());
    if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return Status::Ok();
    return Failure(static_cast<DWORD>(status));
}

std::string RunningExecutablePath() { return Narrow(RunningModulePath()); }

}  // namespace vlmr::win32
