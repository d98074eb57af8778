#include "BannerWindow.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "UntitledWindow.h"

namespace vlmr {
namespace {
constexpr int kWidth = 245;   // client size in device-independent pixels
constexpr int kHeight = 50;
constexpr int kBannerHeight = 32;
}  // namespace

BannerWindow::BannerWindow() : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), banner_(":/banner.png") {
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BannerWindow::Show() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen) {
        const QRect area = screen->geometry();
        move(area.center() - QPoint(kWidth / 2, kHeight / 2));
    }
    // No caption, as it has no title bar: nor is it then taken for the boxes titled "Velmora".
    RemoveWindowTitle(*this);
    show();
}

void BannerWindow::Focus() {
    raise();
    activateWindow();
}

void BannerWindow::Hide() { hide(); }

void BannerWindow::Unload() {
    hide();
    destroy();  // the native window goes now, not at some later event
}

WindowHandle BannerWindow::Handle() { return static_cast<WindowHandle>(winId()); }

void BannerWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.drawPixmap(QRect(0, 0, kWidth, kBannerHeight), banner_);
}

void BannerWindow::mouseReleaseEvent(QMouseEvent* event) {
    // A click is a press and a release over the window, like a button's.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && click_) click_();
}

}  // namespace vlmr
