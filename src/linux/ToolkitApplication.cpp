#include "ToolkitApplication.h"

#include "LinuxRuntime.h"
#include "StopOnException.h"
#include "boot/StopMessage.h"

namespace vlmr {

VelmoraApplication::VelmoraApplication(int& argc, char** argv) : QApplication(argc, argv) {
    ShowStopsIn([](const std::string& text) {
        if (qobject_cast<QApplication*>(QCoreApplication::instance()))
            ShowMessageBox(text, kStopTitle, MessageIcon::Warning);
    });
}

bool VelmoraApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (...) {
        // One thrown while the box runs its own event loop is dropped, so
        // the user can still read what stopped the program.
        if (Stopping()) return false;
        StopForCurrentException();
    }
}

}  // namespace vlmr
