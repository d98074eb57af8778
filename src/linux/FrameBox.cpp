#include "FrameBox.h"

#include <QPainter>
#include <qdrawutil.h>

namespace vlmr {
namespace {
constexpr int kCaptionLeft = 6;  // where the caption's own leading blank begins
}

FrameBox::FrameBox(const QString& caption, QWidget* parent) : QWidget(parent), caption_(caption) {}

void FrameBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QFontMetrics metrics = fontMetrics();
    const int lineTop = metrics.height() / 2;
    qDrawShadeRect(&painter, QRect(0, lineTop, width(), height() - lineTop), palette(), true, 1);
    // The caption's blanks keep the line off its letters.
    const QRect caption(kCaptionLeft, 0, metrics.horizontalAdvance(caption_), metrics.height());
    painter.fillRect(caption, palette().color(backgroundRole()));
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawText(caption, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, caption_);
}

}  // namespace vlmr
