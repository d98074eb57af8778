#pragma once
// The freedesktop key files: desktop entries, mimeapps.list, mimeinfo.cache.
#include <map>
#include <string>
#include <string_view>

namespace vlmr {

// group -> key -> value; the first of duplicate groups or keys counts.
using KeyFile = std::map<std::string, std::map<std::string, std::string>, std::less<>>;

// The file's groups and keys; a missing or unreadable file has none.
KeyFile ReadKeyFile(const std::string& path);
// The key's value in the group, or "".
std::string Value(const KeyFile& file, std::string_view group, const std::string& key);
// A string value with its escapes (\s \n \t \r \\) undone; any other
// backslash stays for the Exec quoting rules.
std::string Unescape(std::string_view value);

}  // namespace vlmr
