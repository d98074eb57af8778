#pragma once
// A top-level window with no title at all. Qt never leaves a title empty (it
// puts in the application name), so on X11 the name properties are removed
// from the native window itself.
class QWidget;

namespace vlmr {

// Creates the native window if need be and removes its name; call before it
// is shown, so no window manager sees a name. Says on stderr when it cannot.
void RemoveWindowTitle(QWidget& window);

}  // namespace vlmr
