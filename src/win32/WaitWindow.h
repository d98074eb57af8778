#pragma once
// The progress window of the save: a borderless box with one blue line of
// text, created on its first show and kept, hidden, until the program ends.
#include <windows.h>

#include <functional>

#include "config/CWait.h"
#include "win32/ControlSet.h"

namespace vlmr::win32 {

class WaitWindow : public WaitView {
public:
    explicit WaitWindow(HINSTANCE instance) : instance_(instance) {}
    ~WaitWindow() override;
    WaitWindow(const WaitWindow&) = delete;
    WaitWindow& operator=(const WaitWindow&) = delete;

    // What a click on the label does (the presenter's WLabrel_Click).
    void SetClickAction(std::function<void()> action) { click_ = std::move(action); }

    void Show() override;
    void Focus() override;
    void Hide() override;
    WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(window_); }

    // The label, once the first show has created the window.
    HWND Label() const { return controls_.Find("WLabrel"); }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void ForgetControls() { controls_.Clear(); }
    bool Create();

    HINSTANCE instance_;
    HWND window_ = nullptr;
    ControlSet controls_;
    std::function<void()> click_;
};

}  // namespace vlmr::win32
