#pragma once
// The window layouts on Qt: each control of a table made as the widget of
// its kind, named, placed, captioned, given its font and colour; and the
// window's own size, caption, font and background. Places are kept in
// twips; Qt's device-independent pixels are 96 dpi pixels, 15 twips each,
// and Qt scales them on a denser screen.
#include <QColor>
#include <QRect>
#include <QSize>
#include <QString>

#include <span>

#include "Twips.h"
#include "platform/WindowLayout.h"

class QWidget;

namespace vlmr {

QRect TwipsToPixels(const layout::Twips& place);
QSize ClientSize(const layout::Window& window);

// A fixed colour as it is; a system one as `system`, the toolkit's colour
// for the place it is used in.
QColor ColourOf(const layout::Colour& colour, const QColor& system);

// The picture of the layout's name ("banner", "save", "open") among the
// program's resources.
QString PicturePath(const char* name);

// The window's size (fixed), caption (an empty one is left to the window:
// Qt fills it in), font and background.
void ApplyWindowLook(QWidget& window, const layout::Window& look);

// Makes the table's controls on the window in table order, which is their
// tab order; each widget's object name is the control's name.
void BuildControls(QWidget& window, std::span<const layout::Control> table);

// Moves the window to the middle of the primary screen.
void CentreOnScreen(QWidget& window);

}  // namespace vlmr
