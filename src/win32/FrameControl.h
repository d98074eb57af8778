#pragma once
// A frame that holds controls: an etched line with a caption at its top
// left, its children placed relative to it. What the children tell their
// parent (commands, colour requests) goes on to the frame's own parent, so
// the window handles them as if the children were its own.
#include <windows.h>

#include <vector>

namespace vlmr::win32 {

class FrameControl {
public:
    static constexpr wchar_t kClassName[] = L"VelmoraFrame";

    FrameControl(HINSTANCE instance, HWND parent, int id, const wchar_t* caption);
    ~FrameControl();
    FrameControl(const FrameControl&) = delete;
    FrameControl& operator=(const FrameControl&) = delete;

    HWND Window() const { return window_; }

    // Draws a one-pixel line just outside the child, for a field whose own
    // height leaves no room for a border.
    void OutlineChild(HWND child);

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();

    HWND window_ = nullptr;
    HFONT font_ = nullptr;  // the owner's; set with WM_SETFONT
    std::vector<HWND> outlined_;
};

}  // namespace vlmr::win32
