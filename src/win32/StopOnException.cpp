#include "win32/StopOnException.h"

#include <windows.h>

#include <cstdio>
#include <string>

#include "boot/StopMessage.h"
#include "store/RunLog.h"
#include "win32/Win32Runtime.h"

namespace vlmr::win32 {
namespace {
bool stopping = false;
}  // namespace

bool Stopping() noexcept { return stopping; }

void StopForCurrentException() noexcept {
    stopping = true;
    try {
        const std::string text = StopMessageForCurrentException();
        std::fprintf(stderr, "%s\n", text.c_str());
        std::fflush(stderr);
        LogError(text);
        ShowMessageBox(text, kStopTitle, MessageIcon::Warning);
    } catch (...) {
        // Not even the words could be made: the exit code alone tells.
    }
    // At once: the state that threw is not to be trusted with destructors.
    ExitProcess(1);
}

}  // namespace vlmr::win32
