#include "CWaitWindow.h"

#include <QFontMetrics>

#include "ClickLabel.h"
#include "LayoutWidgets.h"

namespace vlmr {
namespace {
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
        ApplyWindowLook(*window_, kWaitWindow);
        BuildControls(*window_, kWaitControls);
        WLabrel = window_->findChild<ClickLabel*>("WLabrel");
        WLabrel->setFont(FittingFont(WLabrel->font(), WLabrel->text(), window_->width() - WLabrel->x()));
        WLabrel->SetClickAction(click_);
        CentreOnScreen(*window_);
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
