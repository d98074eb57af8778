#pragma once
// Every window class of the program is registered here, once per process:
// the windows and controls that make their class on first use simply ask
// again, and a class that exists already counts as registered.
#include <windows.h>

#include <optional>

#include "platform/WindowLayout.h"

namespace vlmr::win32 {

struct WindowClassLook {
    UINT style = 0;
    // The layout colour the system erases the window with; none for a
    // window that paints every pixel itself.
    std::optional<layout::Colour> background = std::nullopt;
    bool applicationIcon = false;
};

// False, with a line in the log, when the class cannot be registered.
bool RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, const WindowClassLook& look = {});

}  // namespace vlmr::win32
