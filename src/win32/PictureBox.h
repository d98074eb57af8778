#pragma once
// A picture that acts as a button: the bitmap inside a flat one-pixel
// border, with a sunken three-dimensional edge while the owner says so.
// It reports each mouse button going down and up, then the click, so the
// owner can show the press effect; the release always comes before the click.
#include <windows.h>

#include <functional>

#include "win32/GdiObjects.h"

namespace vlmr::win32 {

class PictureBox {
public:
    // The colour around the picture in the bitmap; drawn as the button face.
    static constexpr COLORREF kBackgroundKey = RGB(240, 240, 240);
    static constexpr wchar_t kClassName[] = L"VelmoraPictureBox";

    // A child of `parent` with the id and accessible name, showing the
    // picture of that name; created visible, placed by the owner.
    PictureBox(HINSTANCE instance, HWND parent, int id, const wchar_t* name, const char* picture);
    ~PictureBox();
    PictureBox(const PictureBox&) = delete;
    PictureBox& operator=(const PictureBox&) = delete;

    HWND Window() const { return window_; }

    void SetActions(std::function<void()> down, std::function<void()> up, std::function<void()> click);
    // Redrawn at once: the release must look flat before the click's work begins.
    void SetSunken(bool sunken);
    bool Sunken() const { return sunken_; }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Draw(HDC dc);
    void ButtonDown(bool left);
    void ButtonUp(bool left, bool lastHeld, LPARAM point);
    void Click();

    HWND window_ = nullptr;
    UniqueBitmap picture_;
    SIZE pictureSize_{};
    bool sunken_ = false;
    bool leftDown_ = false;
    bool keyDown_ = false;
    std::function<void()> down_, up_, click_;
};

}  // namespace vlmr::win32
