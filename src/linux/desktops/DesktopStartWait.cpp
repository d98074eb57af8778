#include "DesktopStartWait.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

namespace vlmr {

bool RunEventsUntil(const std::function<bool()>& done, const QDeadlineTimer& deadline) {
    // Wakes the wait below at the deadline when nothing else happens.
    QTimer wake;
    wake.setSingleShot(true);
    wake.setTimerType(Qt::PreciseTimer);
    for (;;) {
        if (done()) return true;
        if (deadline.hasExpired()) return false;
        if (!wake.isActive()) wake.start(static_cast<int>(deadline.remainingTime()));
        // Sleeps until an event comes. Not a QEventLoop: once the program has
        // been asked to quit (its last window closed), exec() returns at once,
        // and the wait would spin.
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
}

bool WaitUntil(const std::function<bool()>& ready, const QDeadlineTimer& deadline,
               std::chrono::milliseconds pause) {
    for (;;) {
        if (ready()) return true;
        if (deadline.hasExpired()) return false;
        QDeadlineTimer next(pause);
        if (deadline < next) next = deadline;
        RunEventsUntil([] { return false; }, next);
    }
}

}  // namespace vlmr
