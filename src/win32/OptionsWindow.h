#pragma once
// The options window, built from its layout table at the window's real DPI:
// a dialog owned by the configurator window, which is disabled while it is
// open, as a modal dialog's owner is. It runs on the program's one message
// loop rather than a loop of its own. Escape or the close box closes it;
// every option was stored when it changed.
#include <windows.h>

#include <string_view>

#include "config/frmOptions.h"
#include "win32/ActivationFocus.h"
#include "win32/ControlSet.h"
#include "win32/OptionsControlIds.h"

namespace vlmr::win32 {

class ConfiguratorWindow;

class OptionsWindow : public OptionsView {
public:
    static constexpr wchar_t kClassName[] = L"VelmoraOptions";

    // Creates the window and its controls, hidden.
    OptionsWindow(const ConfiguratorWindow& owner, HINSTANCE instance);
    ~OptionsWindow() override;
    OptionsWindow(const OptionsWindow&) = delete;
    OptionsWindow& operator=(const OptionsWindow&) = delete;

    // The presenter the controls report to; set before the first event.
    void Attach(frmOptions& presenter) { presenter_ = &presenter; }

    // Tab, the arrow keys and Escape among the window's controls. True when
    // the message was the window's and has been handled.
    bool HandleDialogMessage(MSG& message);

    HWND Window() const { return window_; }
    HWND Control(std::string_view name) const { return controls_.Find(name); }

    void Show() override;
    void ShowType(PictureType type, bool shown) override;
    void SetTypeCheck(PictureType type, bool checked) override;
    void SetProportions(Proportions proportions) override;
    void SetNoRepeatsCheck(bool checked) override;
    void SetPerMonitorCheck(bool checked) override;

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnCommand(int id, int code);
    void Close();
    void SetCheck(HWND button, bool checked);
    // The proportions group has one tab stop: the selected option.
    void UpdateProportionsTabStop();
    // Over the owner, and inside the owner's monitor.
    void PlaceOverOwner();

    HWND owner_;
    HWND window_ = nullptr;
    frmOptions* presenter_ = nullptr;
    // Set while code changes a control, so the change is not taken for the user's.
    bool updating_ = false;
    ActivationFocus focus_;
    ControlSet controls_;
};

}  // namespace vlmr::win32
