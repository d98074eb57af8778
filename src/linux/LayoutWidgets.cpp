#include "LayoutWidgets.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QRadioButton>
#include <QScreen>
#include <QWidget>

#include <vector>

#include "ClassicMetrics.h"
#include "ClickLabel.h"
#include "DialogFont.h"
#include "FrameBox.h"
#include "PictureBox.h"

namespace vlmr {

namespace {

using layout::Kind;

QWidget* Make(const layout::Control& row, QWidget* parent) {
    const QString caption = QString::fromUtf8(row.caption);
    switch (row.kind) {
        case Kind::Frame: return new FrameBox(caption, parent);
        case Kind::TextBox: return new QLineEdit(caption, parent);
        case Kind::PictureButton: return new PictureBox(PicturePath(row.picture), parent);
        case Kind::Option: return new QRadioButton(caption, parent);
        case Kind::CheckBox: return new QCheckBox(caption, parent);
        case Kind::Label: return new ClickLabel(caption, parent);
    }
    return nullptr;
}

// What a kind needs beyond its place, font and colour.
void Finish(const layout::Control& row, QWidget& control) {
    if (auto* field = qobject_cast<QLineEdit*>(&control)) {
        // As high as its text (13 pixels): a one-pixel border and no inner
        // margins leave the text its full height.
        field->setFrame(false);
        field->setTextMargins(0, 0, 0, 0);
        field->setStyleSheet(
            "QLineEdit { border: 1px solid palette(dark); padding: 0px; background: palette(base); }");
    } else if (auto* label = qobject_cast<QLabel*>(&control)) {
        label->setAlignment((row.align == layout::Align::Right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop);
    }
    if (row.colour.fixed) {
        QPalette palette = control.palette();
        palette.setColor(QPalette::WindowText, ColourOf(row.colour, {}));
        control.setPalette(palette);
    }
}

bool TakesFocus(Kind kind) { return kind != Kind::Frame && kind != Kind::Label; }

}  // namespace

QRect TwipsToPixels(const layout::Twips& place) {
    return QRect(TwipsToPixels(place.left), TwipsToPixels(place.top), TwipsToPixels(place.width),
                 TwipsToPixels(place.height));
}

QSize ClientSize(const layout::Window& window) {
    return QSize(TwipsToPixels(window.width), TwipsToPixels(window.height));
}

QColor ColourOf(const layout::Colour& colour, const QColor& system) {
    return colour.fixed ? QColor(colour.red, colour.green, colour.blue) : system;
}

QString PicturePath(const char* name) {
    const QString picture = QString::fromUtf8(name ? name : "");
    // The banner is the same bitmap on every system, and in the lean banner.
    return picture == "banner" ? QStringLiteral(":/banner.bmp") : ":/buttons/" + picture + ".png";
}

void ApplyWindowLook(QWidget& window, const layout::Window& look) {
    if (*look.caption) window.setWindowTitle(QString::fromUtf8(look.caption));
    window.setFixedSize(ClientSize(look));
    window.setFont(LayoutFont(look.font));
    // The system's background is the dialog face, the buttons' colour.
    QPalette face = window.palette();
    face.setColor(QPalette::Window, ColourOf(look.background, face.color(QPalette::Button)));
    window.setPalette(face);
    window.setAutoFillBackground(true);
}

void BuildControls(QWidget& window, std::span<const layout::Control> table) {
    std::vector<QWidget*> made;
    for (const layout::Control& row : table) {
        QWidget* parent = row.container ? window.findChild<QWidget*>(row.container) : &window;
        QWidget* control = Make(row, parent);
        control->setObjectName(row.name);
        control->setGeometry(TwipsToPixels(row.place));
        control->setFont(LayoutFont(row.font));
        Finish(row, *control);
        made.push_back(control);
    }

    // The classic dialog's small marks, for the options and check boxes.
    // Made after the controls, so it is the last child deleted.
    ClassicMetrics* metrics = nullptr;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].kind != Kind::Option && table[i].kind != Kind::CheckBox) continue;
        if (!metrics) {
            metrics = new ClassicMetrics;
            metrics->setParent(&window);
        }
        made[i]->setStyle(metrics);
    }

    QWidget* previous = nullptr;
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (!TakesFocus(table[i].kind)) continue;
        if (previous) QWidget::setTabOrder(previous, made[i]);
        previous = made[i];
    }
}

void CentreOnScreen(QWidget& window) {
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        window.move(screen->geometry().center() - QPoint(window.width() / 2, window.height() / 2));
}

}  // namespace vlmr
