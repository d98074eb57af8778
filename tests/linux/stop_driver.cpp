// Throws from each kind of place where the toolkit calls into a program
// that runs inside VLMR's application object: a timer, a queued call, a slot
// of a click (a direct connection inside a mouse event) and a paint event.
// Each must end in the box that says "Velmora stopped: " and the place.
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <stdexcept>
#include <string>

#include "ToolkitApplication.h"

namespace {

class ThrowingPaint : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override { throw std::runtime_error("paint"); }
};

}  // namespace

int main(int argc, char* argv[]) {
    int qtArgc = 1;
    vlmr::VelmoraApplication app(qtArgc, argv);
    const std::string place = argc > 1 ? argv[1] : "";
    const auto fail = [&place] { throw std::runtime_error(place); };

    QPushButton button("Throw");
    button.setWindowTitle("Throw");
    ThrowingPaint painted;
    if (place == "timer") QTimer::singleShot(0, fail);
    if (place == "queued") QMetaObject::invokeMethod(&app, fail, Qt::QueuedConnection);
    if (place == "click") {
        QObject::connect(&button, &QPushButton::clicked, fail);
        button.show();
    }
    if (place == "paint") painted.show();
    return QApplication::exec();
}
