#pragma once
// The INI layout read and written the way the Windows profile API does it,
// so that one Config.ini means the same thing on every system.
#include <optional>
#include <string>
#include <string_view>

namespace vlmr {

// Longest value a read returns, in characters.
inline constexpr std::size_t kIniValueLimit = 254;

// The value of key in section, or "" when either is missing.
std::string IniLookup(std::string_view text, std::string_view section, std::string_view key);

// The text with key in section set to value: an existing key line is
// replaced, otherwise one line is added (with its section header when the
// section is new). Every other byte stays. Nothing when a name or the value
// holds a line break, which would forge other entries.
std::optional<std::string> IniAssign(std::string_view text, std::string_view section, std::string_view key,
                                     std::string_view value);

}  // namespace vlmr
