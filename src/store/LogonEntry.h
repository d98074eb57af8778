#pragma once
// The "Load At Startup" registration and the command texts each system
// stores for it.
#include <string>
#include <string_view>

#include "platform/LogonList.h"

namespace vlmr {

inline constexpr std::string_view kLogonEntryName = "VLMR";

Status SetRegistryString(LogonList& list, std::string_view name, std::string_view program);
Status DeleteRegistryValue(LogonList& list, std::string_view name);

// The Run value for a program path: quoted when it holds a blank, since
// Windows would otherwise start whatever program is named like the path's
// first word.
std::string RunEntryText(std::string_view program);

// The Exec line of an autostart entry: the path quoted when it holds a
// blank or a reserved character, with ", `, $ and \ escaped inside the
// quotes, and % written as %%.
std::string DesktopEntryExec(std::string_view program);

}  // namespace vlmr
