#pragma once
// The Qt application object of VLMR: every event handler, timer, queued call
// and slot (direct connections included, since they run inside some event's
// dispatch) is called from notify(), the one place where the toolkit calls
// into our code, so no exception crosses the event loop.
#include <QApplication>

namespace vlmr {

class VelmoraApplication : public QApplication {
public:
    // From here on a stop is also told in a box.
    VelmoraApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

}  // namespace vlmr
