#pragma once
// A choice the user makes in a window is stored the moment it changes. A
// choice that could not be stored would only show at the next logon, as a
// wallpaper that never changes, so it is said at once.
#include "platform/Runtime.h"
#include "platform/Status.h"

namespace vlmr {

// Logs a failed store with its reason and, unless the program is only
// restoring what was stored before, tells the user in a box. The control
// keeps what the user gave it.
void ReportUnstoredChoice(Runtime& runtime, const Status& stored, bool tellUser = true);

}  // namespace vlmr
