#pragma once
// The user's chosen applications for a MIME type, as the mimeapps.list
// files name them.
#include <string>
#include <string_view>

namespace vlmr {

// The path of the installed, usable desktop file that is the default
// handler of the MIME type (or URL scheme type, "x-scheme-handler/https"),
// or "".
std::string DefaultHandler(std::string_view mimeType);

}  // namespace vlmr
