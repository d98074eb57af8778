#pragma once
// A static label that acts on a click as a button does: a left press on it
// and the release over it. A plain SS_NOTIFY static reports STN_CLICKED on
// the press, so a press dragged off the label would still act; once made a
// click label, it reports STN_CLICKED only for the completed click.
#include <windows.h>

namespace vlmr::win32 {

// Call once, right after creating the static (which keeps SS_NOTIFY, so the
// mouse reaches it). False, with a line on stderr, if it could not be done:
// the label then acts on the press as before.
bool MakeClickLabel(HWND label);

}  // namespace vlmr::win32
