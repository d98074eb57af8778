#pragma once
// A window's controls made from its layout table: each created in table
// order (the dialog keys follow the order of creation) as a child of the
// window or of a frame of the table, with the id first id + tab index, and
// placed, given its font and coloured as the table says at the window's DPI.
// What the table leaves to Windows (the window classes and styles of each
// kind of control) is decided here.
#include <windows.h>

#include <memory>
#include <span>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/WindowLayout.h"
#include "win32/GdiObjects.h"

namespace vlmr::win32 {

class FrameControl;
class PictureBox;

class ControlSet {
public:
    ControlSet();
    ~ControlSet();
    ControlSet(const ControlSet&) = delete;
    ControlSet& operator=(const ControlSet&) = delete;

    void Create(HINSTANCE instance, HWND window, std::span<const layout::Control> table, int firstId);
    // Forgets controls that went with their window.
    void Clear();

    HWND Find(std::string_view name) const;
    HWND WithId(int id) const;
    PictureBox* Picture(std::string_view name) const;
    const layout::Control* RowOf(HWND control) const;

    // Places the controls and sets their fonts for the DPI.
    void Layout(UINT dpi);

    // WM_CTLCOLORSTATIC and WM_CTLCOLORBTN: the control's text colour on the
    // window's background; returns the brush for the background.
    LRESULT Colours(HDC dc, HWND control, const layout::Colour& background) const;

private:
    struct Entry;
    const Entry* EntryOf(std::string_view name) const;

    std::vector<Entry> entries_;
    std::vector<std::pair<layout::Font, UniqueFont>> fonts_;
};

}  // namespace vlmr::win32
