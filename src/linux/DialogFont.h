#pragma once
// The fonts of the window layouts: the layout's face where that family is
// installed (MS Sans Serif, for every caption of the program), otherwise
// the system's own dialog family, at the layout's size.
#include <QFont>

#include "platform/WindowLayout.h"

namespace vlmr {

QFont LayoutFont(const layout::Font& font);

}  // namespace vlmr
