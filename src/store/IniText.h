#pragma once
// The INI layout read and written the way the Windows profile API does it,
// so that one Config.ini means the same thing on every system.
#include <optional>
#include <string>
#include <string_view>

namespace vlmr {

// Longest value a read returns, in characters.
inline constexpr std::size_t kIniValueLimit = 254;

// The value of key in section of a file's bytes (ANSI or UTF-8, or UTF-16
// behind a byte order mark), or "" when either is missing.
std::string IniLookup(std::string_view file, std::string_view section, std::string_view key);

// The file's bytes with key in section set to value: the key's line is
// rewritten, otherwise one line is added (with its section header when the
// section is new), in the file's own line ends and encoding. Every other
// byte stays. Nothing when a name or the value holds a line break, which
// would forge other entries.
std::optional<std::string> IniAssign(std::string_view file, std::string_view section, std::string_view key,
                                     std::string_view value);

}  // namespace vlmr
