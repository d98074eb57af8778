#pragma once
// No exception leaves main or crosses the event loop: each one ends the
// program with a box that says what failed, and exit code 1.
#include <QApplication>

namespace vlmr {

// Tells what the exception being handled was (on stderr, and in a box titled
// "Velmora" once the toolkit is up) and ends the process with 1. Call it only
// inside a catch block.
[[noreturn]] void StopForCurrentException() noexcept;

// Every event handler, timer, queued call and slot (direct connections
// included, since they run inside some event's dispatch) is called from
// notify(): the one place where the toolkit calls into our code.
class VelmoraApplication : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace vlmr
