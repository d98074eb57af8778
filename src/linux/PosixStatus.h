#pragma once
// errno as the program's Status, with English descriptions of our own:
// strerror speaks the user's locale, and these go into English boxes.
#include <string_view>

#include "platform/Status.h"

namespace vlmr {

// ENOENT is PathNotFound when a folder on the way to path is missing.
Status StatusFromErrno(int error, std::string_view path);

}  // namespace vlmr
