#pragma once
#include <string>

#include "platform/Runtime.h"
#include "platform/Shell.h"

namespace vlmr {

// Opens the address in the user's web browser on behalf of the owner window,
// or tells the user that no browser was found.
void OpenWebPage(Runtime& rt, Shell& shell, WindowHandle owner, const std::string& address);

}  // namespace vlmr
