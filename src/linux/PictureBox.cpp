#include "PictureBox.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <qdrawutil.h>

namespace vlmr {

PictureBox::PictureBox(const QString& picture, QWidget* parent) : QWidget(parent), picture_(picture) {
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::SetActions(std::function<void()> down, std::function<void()> up, std::function<void()> click) {
    down_ = std::move(down);
    up_ = std::move(up);
    click_ = std::move(click);
}

void PictureBox::SetSunken(bool sunken) {
    if (sunken == sunken_) return;
    sunken_ = sunken;
    // Painted now, not at the next event: the release must show flat before
    // the click's own work (a modal chooser, a long scan) begins.
    repaint();
}

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& colours = palette();
    painter.fillRect(rect(), colours.color(QPalette::Button));
    if (sunken_) {
        // The two-pixel sunken edge; the picture sits one pixel further in.
        qDrawWinPanel(&painter, rect(), colours, true);
        painter.setClipRect(rect().adjusted(2, 2, -2, -2));
        painter.drawPixmap(2, 2, picture_);
        return;
    }
    painter.drawPixmap(1, 1, picture_);
    // The focus shows as the border's colour, leaving the picture whole.
    painter.setPen(hasFocus() ? colours.color(QPalette::Highlight) : colours.color(QPalette::Shadow));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void PictureBox::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) leftPressed_ = true;
    if (down_) down_();
}

void PictureBox::mouseReleaseEvent(QMouseEvent* event) {
    // The release is reported before the click.
    if (up_) up_();
    if (event->button() != Qt::LeftButton) return;
    const bool click = leftPressed_ && rect().contains(event->position().toPoint());
    leftPressed_ = false;
    if (click && click_) click_();
}

void PictureBox::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Space || key == Qt::Key_Return || key == Qt::Key_Enter) && !event->isAutoRepeat()) {
        if (click_) click_();
        return;
    }
    QWidget::keyPressEvent(event);
}

}  // namespace vlmr
