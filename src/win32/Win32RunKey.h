#pragma once
// The logon list on Windows: string values under the user's Run key, each
// naming a command the shell starts at logon.
#include <windows.h>

#include <string>
#include <string_view>

#include "platform/LogonList.h"

namespace vlmr::win32 {

inline constexpr wchar_t kRunKeyPath[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class Win32RunKey : public LogonList {
public:
    // Tests point it at a key of their own.
    explicit Win32RunKey(HKEY root = HKEY_CURRENT_USER, std::wstring keyPath = kRunKeyPath)
        : root_(root), keyPath_(std::move(keyPath)) {}

    // A REG_SZ value holding the program's path, quoted when it has a blank.
    Status WriteEntry(std::string_view name, std::string_view program) override;
    // Removes only that value; a missing key or value is no error.
    Status DeleteEntry(std::string_view name) override;

private:
    HKEY root_;
    std::wstring keyPath_;
};

// The full path of the running executable, under whatever name it was started.
std::string RunningExecutablePath();

}  // namespace vlmr::win32
