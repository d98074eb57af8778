#include "win32/WindowClass.h"

#include "store/RunLog.h"
#include "win32/LayoutColour.h"
#include "win32/Resources.h"
#include "win32/WinError.h"
#include "win32/WinText.h"

namespace vlmr::win32 {

bool RegisterWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure, const WindowClassLook& look) {
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(instance, name, &windowClass)) return true;
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = look.style;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    if (look.applicationIcon) {
        windowClass.hIcon = ApplicationIcon(instance, false);
        windowClass.hIconSm = ApplicationIcon(instance, true);
    }
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    // A system colour by its index, so it follows a change of the system's
    // colours; a fixed one as a brush that the class owns from now on.
    if (look.background) {
        windowClass.hbrBackground = look.background->fixed
                                        ? CreateSolidBrush(ColourRef(*look.background, COLOR_BTNFACE))
                                        : reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    }
    windowClass.lpszClassName = name;
    if (RegisterClassExW(&windowClass)) return true;
    const DWORD error = GetLastError();
    if (look.background && look.background->fixed) DeleteObject(windowClass.hbrBackground);
    if (error == ERROR_CLASS_ALREADY_EXISTS) return true;
    LogError("the window class " + Narrow(name) + " could not be registered: " + ErrorDescription(error));
    return false;
}

}  // namespace vlmr::win32
