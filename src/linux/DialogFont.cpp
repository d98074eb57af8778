#include "DialogFont.h"

#include <QApplication>
#include <QFontDatabase>

namespace vlmr {

QFont LayoutFont(const layout::Font& font) {
    // Ask the font database, not QFont: fontconfig would happily hand out a
    // substitute under the asked-for name.
    const QString face = QString::fromUtf8(font.face);
    QFont made(QFontDatabase::families().contains(face, Qt::CaseInsensitive) ? face : QApplication::font().family());
    made.setPointSizeF(font.points);
    made.setBold(font.bold);  // always set, so a bold container does not pass its weight on
    made.setUnderline(font.underline);
    return made;
}

}  // namespace vlmr
