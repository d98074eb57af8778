#include "BannerWindow.h"

#include <QMouseEvent>
#include <QPainter>

#include "LayoutWidgets.h"
#include "UntitledWindow.h"
#include "boot/BannerLayout.h"

namespace vlmr {

BannerWindow::BannerWindow()
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), banner_(PicturePath(kBannerWindow.picture)) {
    setFixedSize(ClientSize(kBannerWindow));
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void BannerWindow::Show() {
    CentreOnScreen(*this);
    // No caption, as it has no title bar: nor is it then taken for the boxes titled "Velmora".
    static_assert(kBannerWindow.caption[0] == '\0');
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
    painter.fillRect(rect(), ColourOf(kBannerWindow.background, palette().color(QPalette::Window)));
    painter.drawPixmap(QPoint(0, 0), banner_);
}

void BannerWindow::mouseReleaseEvent(QMouseEvent* event) {
    // A click is a press and a release over the window, like a button's.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && click_) click_();
}

}  // namespace vlmr
