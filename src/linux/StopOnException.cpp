#include "StopOnException.h"

#include <cstdio>
#include <string>
#include <unistd.h>

#include "LinuxRuntime.h"
#include "boot/StopMessage.h"
#include "store/RunLog.h"

namespace vlmr {
namespace {
bool stopping = false;  // the box that reports the first exception is up
}  // namespace

void StopForCurrentException() noexcept {
    stopping = true;
    bool told = false;
    try {
        const std::string text = StopMessageForCurrentException();
        std::fprintf(stderr, "%s\n", text.c_str());
        std::fflush(stderr);
        told = true;
        LogError(text);
        if (qobject_cast<QApplication*>(QCoreApplication::instance()))
            ShowMessageBox(text, kStopTitle, MessageIcon::Warning);
    } catch (...) {
        if (!told) std::fputs("VLMR: stopped by an error that could not even be described\n", stderr);
    }
    // At once: the state that threw is not to be trusted with destructors.
    std::fflush(nullptr);
    ::_exit(1);
}

bool VelmoraApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        // One thrown while the box runs its own event loop is dropped, so
        // the user can still read what stopped the program.
        if (stopping) return false;
        StopForCurrentException();
    }
}

}  // namespace vlmr
