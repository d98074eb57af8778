#pragma once
// A desktop entry's Exec value made into a command line, with no shell.
#include <string>
#include <string_view>
#include <vector>

namespace vlmr {

// The command line of a desktop entry's Exec value for one address: the
// Desktop Entry quoting undone, %u %U %f %F replaced by the address (added
// as the last argument when the value has none of them), %% a percent sign,
// any other field code dropped. Empty when the value does not parse.
std::vector<std::string> ExecArguments(std::string_view exec, std::string_view address);

}  // namespace vlmr
