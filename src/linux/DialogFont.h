#pragma once
// The dialog font of Velmora's windows: MS Sans Serif 8.25 pt where that
// family is installed, otherwise the system's own dialog family at 8.25 pt.
#include <QFont>

namespace vlmr {

QFont DialogFont(bool bold = false);

}  // namespace vlmr
