#include "win32/ProfileSettings.h"

#include <windows.h>

#include "store/IniText.h"
#include "win32/WinError.h"
#include "win32/WinText.h"

namespace vlmr::win32 {

namespace {
// The value buffer of the settings file's format: a longer value reads as
// its first kIniValueLimit characters, and the buffer holds their end too.
constexpr DWORD kValueBuffer = kIniValueLimit + 1;
}  // namespace

std::string ProfileSettings::Read(std::string_view section, std::string_view key, std::string_view file) {
    wchar_t buffer[kValueBuffer] = {};
    const DWORD count = GetPrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), L"", buffer,
                                                 kValueBuffer, Widen(file).c_str());
    return Narrow(std::wstring_view(buffer, count));
}

Status ProfileSettings::Write(std::string_view section, std::string_view key, std::string_view value,
                              std::string_view file) {
    if (!WritePrivateProfileStringW(Widen(section).c_str(), Widen(key).c_str(), Widen(value).c_str(),
                                    Widen(file).c_str()))
        return LastFailure();
    return Status::Ok();
}

}  // namespace vlmr::win32
