#pragma once
// The start-up window: a borderless banner in the middle of the screen.
#include <windows.h>

#include <functional>

#include "boot/frmMain.h"
#include "win32/GdiObjects.h"

namespace vlmr::win32 {

class BannerWindow : public MainView {
public:
    // Creates the window, hidden; the presenter decides when it shows.
    explicit BannerWindow(HINSTANCE instance);
    ~BannerWindow() override;
    BannerWindow(const BannerWindow&) = delete;
    BannerWindow& operator=(const BannerWindow&) = delete;

    // What a click on the window does.
    void OnClick(std::function<void()> handler) { onClick_ = std::move(handler); }

    void Show() override;
    void Focus() override;
    void Hide() override;
    void Unload() override;
    WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(window_); }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();

    HWND window_ = nullptr;
    UniqueBitmap banner_;
    std::function<void()> onClick_;
};

}  // namespace vlmr::win32
