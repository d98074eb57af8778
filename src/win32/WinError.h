#pragma once
// Windows error codes as the portable code sees them.
#include <windows.h>

#include <string>

#include "platform/Status.h"

namespace vlmr::win32 {

// The system's description of the error in US English, whatever the
// language of the installed Windows.
std::string ErrorDescription(DWORD code);

// The same for a COM result, with its code: "Access is denied. (0x80070005)".
std::string HResultDescription(HRESULT result);

ErrorKind KindOf(DWORD code);

// A failed Status for the error code.
Status Failure(DWORD code);
inline Status LastFailure() { return Failure(GetLastError()); }

}  // namespace vlmr::win32
