#pragma once
// A label that acts on a click: a left press and release over it.
#include <QLabel>
#include <QMouseEvent>

#include <functional>
#include <utility>

namespace vlmr {

class ClickLabel : public QLabel {
public:
    using QLabel::QLabel;
    void SetClickAction(std::function<void()> action) { click_ = std::move(action); }

protected:
    void mousePressEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton) pressed_ = true;
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() != Qt::LeftButton) return;
        const bool click = pressed_ && rect().contains(event->position().toPoint());
        pressed_ = false;
        if (click && click_) click_();
    }

private:
    std::function<void()> click_;
    bool pressed_ = false;
};

}  // namespace vlmr
