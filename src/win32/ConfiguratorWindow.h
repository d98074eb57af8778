#pragma once
// The configurator window, built from its layout table at the window's real
// DPI, each user action handed to the frmConfig presenter. What the
// presenter sets comes back through the ConfigView calls and is not taken
// for the user's. "Options..." in its system menu opens the options window.
#include <windows.h>

#include <functional>
#include <optional>
#include <string>

#include "config/frmConfig.h"
#include "win32/ActivationFocus.h"
#include "win32/ConfigControlIds.h"
#include "win32/ControlSet.h"

namespace vlmr::win32 {

class PictureBox;

class ConfiguratorWindow : public ConfigView {
public:
    static constexpr wchar_t kClassName[] = L"VelmoraConfigurator";

    // Creates the window and its controls, hidden: the presenter's load sets
    // them before the window is first drawn.
    explicit ConfiguratorWindow(HINSTANCE instance);
    ~ConfiguratorWindow() override;
    ConfiguratorWindow(const ConfiguratorWindow&) = delete;
    ConfiguratorWindow& operator=(const ConfiguratorWindow&) = delete;

    // The presenter the controls report to; set before the first event.
    void Attach(frmConfig& presenter) { presenter_ = &presenter; }
    // What "Options..." does.
    void SetOptionsAction(std::function<void()> action) { openOptions_ = std::move(action); }

    // Tab, the arrow keys and the like among the window's controls. True
    // when the message was the window's and has been handled.
    bool HandleDialogMessage(MSG& message);

    HWND Window() const { return window_; }
    HWND Control(ConfigControlId id) const;

    void Show() override;
    void SetCaption(const std::string& caption) override;
    void SetPathText(const std::string& text) override;
    void SetStartupCheck(bool checked) override;
    void SetStyleOption(std::optional<StyleOption> option) override;
    void SetButtonSunken(PictureButton button, bool sunken) override;
    void Minimize() override;
    void Restore() override;
    WindowHandle Handle() override { return reinterpret_cast<WindowHandle>(window_); }

private:
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void CreateControls(HINSTANCE instance);
    void OnCommand(int id, int code);
    // The style group has one tab stop: the selected option, or the first.
    void UpdateStyleTabStop();

    HWND window_ = nullptr;
    frmConfig* presenter_ = nullptr;
    std::function<void()> openOptions_;
    bool placed_ = false;
    // Set while code changes a control, so the change is not taken for the user's.
    bool updating_ = false;
    ActivationFocus focus_;

    ControlSet controls_;
    // The controls the window itself works with, named as the presenter knows them.
    HWND IPath = nullptr;
    PictureBox* PSave = nullptr;
    PictureBox* POpen = nullptr;
    HWND OCenter = nullptr;
    HWND OTile = nullptr;
    HWND OStretch = nullptr;
    HWND Label1 = nullptr;
    HWND LStart = nullptr;
};

}  // namespace vlmr::win32
