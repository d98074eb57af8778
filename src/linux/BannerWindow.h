#pragma once
// The start-up window: a borderless banner centred on the screen.
#include <QPixmap>
#include <QWidget>

#include <functional>

#include "boot/frmMain.h"

namespace vlmr {

class BannerWindow : public QWidget, public MainView {
public:
    BannerWindow();

    // What a click on the surface does (the presenter's click handler).
    void SetClickAction(std::function<void()> action) { click_ = std::move(action); }

    void Show() override;
    void Focus() override;
    void Hide() override;
    void Unload() override;
    WindowHandle Handle() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPixmap banner_;
    std::function<void()> click_;
};

}  // namespace vlmr
