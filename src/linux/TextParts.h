#pragma once
// Cutting a separated list ("a;b;", "/usr/share:/usr/local/share") into its
// parts, as the freedesktop files and variables write them.
#include <string>
#include <string_view>
#include <vector>

namespace vlmr {

// Drops blanks, tabs and carriage returns from both ends.
std::string_view Trim(std::string_view text);
// The parts between separators, each trimmed; empty parts are dropped.
std::vector<std::string> Split(std::string_view text, char separator);

}  // namespace vlmr
