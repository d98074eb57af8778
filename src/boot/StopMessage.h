#pragma once
// What the user reads when an error nobody planned for ends the program.
// Both front ends catch at every entry into our code and show this text.
#include <string>
#include <string_view>

namespace vlmr {

// The title of the box that says it.
inline constexpr std::string_view kStopTitle = "Velmora";

// "Velmora stopped: " and what failed: the exception's own description, or
// "an unknown error" for anything that is no std::exception. Call it only
// inside a catch block.
std::string StopMessageForCurrentException();

}  // namespace vlmr
