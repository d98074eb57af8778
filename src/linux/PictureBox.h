#pragma once
// A picture box that acts as a button: its picture inside a flat one-pixel
// border, or a sunken edge while the presenter says it is pressed.
#include <QPixmap>
#include <QWidget>

#include <functional>

namespace vlmr {

class PictureBox : public QWidget {
public:
    PictureBox(const QString& picture, QWidget* parent);

    // Mouse button down and up (any button), then the click (left button
    // released over the button; also Space or Enter with the focus).
    void SetActions(std::function<void()> down, std::function<void()> up, std::function<void()> click);
    void SetSunken(bool sunken);
    bool Sunken() const { return sunken_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QPixmap picture_;
    std::function<void()> down_, up_, click_;
    bool sunken_ = false;
    bool leftPressed_ = false;
};

}  // namespace vlmr
