#include "CWaitWindow.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>

#include "ClickLabel.h"
#include "DialogFont.h"

namespace vlmr {
namespace {
// 96 dpi pixels, 15 twips each, to the nearest pixel.
constexpr int Px(int twips) { return (twips + 7) / 15; }
constexpr int kWidth = Px(3165);
constexpr int kHeight = Px(585);

// The line was laid out for MS Sans Serif; a wider stand-in family would
// cut its last dots off at the window's edge, so it steps down in size
// until the whole line shows.
QFont FittingFont(QFont font, const QString& text, int width) {
    while (QFontMetrics(font).horizontalAdvance(text) > width && font.pointSizeF() > 6.0)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    return font;
}
}  // namespace

CWaitWindow::CWaitWindow() = default;
CWaitWindow::~CWaitWindow() = default;

void CWaitWindow::SetClickAction(std::function<void()> action) {
    click_ = std::move(action);
    if (WLabrel) WLabrel->SetClickAction(click_);
}

void CWaitWindow::Show() {
    if (!window_) {
        window_ = std::make_unique<QWidget>(nullptr, Qt::Window | Qt::FramelessWindowHint);
        window_->setWindowTitle("VLMR");
        window_->setFixedSize(kWidth, kHeight);
        QPalette face = window_->palette();
        face.setColor(QPalette::Window, face.color(QPalette::Button));
        window_->setPalette(face);
        window_->setAutoFillBackground(true);

        WLabrel = new ClickLabel(CWait::kWLabrel, window_.get());
        WLabrel->setObjectName("WLabrel");
        WLabrel->setGeometry(Px(120), Px(120), Px(3132), Px(252));
        WLabrel->setFont(FittingFont(DialogFont(true), CWait::kWLabrel, kWidth - Px(120)));
        WLabrel->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        QPalette blue = WLabrel->palette();
        blue.setColor(QPalette::WindowText, QColor(0, 0, 192));
        WLabrel->setPalette(blue);
        WLabrel->SetClickAction(click_);

        if (const QScreen* screen = QGuiApplication::primaryScreen())
            window_->move(screen->geometry().center() - QPoint(kWidth / 2, kHeight / 2));
    }
    window_->show();
    window_->raise();
}

void CWaitWindow::Focus() {
    if (!window_) return;
    window_->activateWindow();
    window_->setFocus();
}

void CWaitWindow::Hide() {
    if (window_) window_->hide();
}

WindowHandle CWaitWindow::Handle() { return window_ ? static_cast<WindowHandle>(window_->winId()) : 0; }

}  // namespace vlmr
