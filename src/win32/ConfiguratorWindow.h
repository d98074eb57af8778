#pragma once
// The configurator window: every control at its place, in twips converted
// with the window's real DPI, each user action handed to the frmConfig
// presenter. What the presenter sets comes back through the ConfigView
// calls and is not taken for the user's.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>

#include "config/frmConfig.h"
#include "win32/ConfigControlIds.h"
#include "win32/GdiObjects.h"

namespace vlmr::win32 {

class FrameControl;
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
    // Places the controls and sets their fonts for the DPI.
    void Layout(UINT dpi);
    void OnCommand(int id, int code);
    // The style group has one tab stop: the selected option, or the first.
    void UpdateStyleTabStop();
    LRESULT OnControlColour(HDC dc, HWND control);

    HWND window_ = nullptr;
    frmConfig* presenter_ = nullptr;
    bool placed_ = false;
    // Set while code changes a control, so the change is not taken for the user's.
    bool updating_ = false;
    HWND focus_ = nullptr;  // given back when the window is activated again

    std::unique_ptr<FrameControl> CFrm;
    HWND IPath = nullptr;
    std::unique_ptr<PictureBox> PSave;
    std::unique_ptr<PictureBox> POpen;
    HWND OCenter = nullptr;
    HWND OTile = nullptr;
    HWND OStretch = nullptr;
    HWND Label1 = nullptr;
    HWND LStart = nullptr;

    UniqueFont font_;
    UniqueFont boldFont_;
};

}  // namespace vlmr::win32
