#include "DialogFont.h"

#include <QApplication>
#include <QFontDatabase>

namespace vlmr {

QFont DialogFont(bool bold) {
    // Ask the font database, not QFont: fontconfig would happily hand out a
    // substitute under the asked-for name.
    static const QString family = QFontDatabase::families().contains("MS Sans Serif", Qt::CaseInsensitive)
                                      ? QStringLiteral("MS Sans Serif")
                                      : QApplication::font().family();
    QFont font(family);
    font.setPointSizeF(8.25);
    font.setBold(bold);  // always set, so a bold container does not pass its weight on
    return font;
}

}  // namespace vlmr
