#pragma once
// A frame as classic dialogs draw it: an etched rectangle whose top line
// runs through the middle of the caption, the caption written over it.
#include <QWidget>

namespace vlmr {

class FrameBox : public QWidget {
public:
    FrameBox(const QString& caption, QWidget* parent);
    QString Caption() const { return caption_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString caption_;
};

}  // namespace vlmr
