#pragma once
// The configurator's course, the same on every system: its window, its
// progress window and its options window wired to their presenters, made
// once, loaded with the stored choices before it is first drawn, then shown.
// A front end names its three window types and what they are made from; the
// options window is made with its owner, the configurator window, first.
#include <functional>
#include <memory>
#include <utility>

#include "config/CWait.h"
#include "config/frmConfig.h"
#include "config/frmOptions.h"

namespace vlmr {

template <class WaitWindowType, class ConfigWindowType, class OptionsWindowType>
struct ConfiguratorWindows {
    template <class... WindowArguments>
    ConfiguratorWindows(ConfigServices services, std::function<WindowHandle()> webOwner,
                        WindowArguments&... windowArguments)
        : waitWindow(windowArguments...),
          wait(services.base.runtime, services.base.shell, waitWindow),
          window(windowArguments...),
          presenter(services, window, wait, std::move(webOwner)),
          optionsWindow(window, windowArguments...),
          options(services.base.runtime, services.base.settings, optionsWindow) {
        window.Attach(presenter);
        waitWindow.SetClickAction([this] { wait.WLabrel_Click(); });
        optionsWindow.Attach(options);
        window.SetOptionsAction([this] { options.Open(); });
    }
    ConfiguratorWindows(const ConfiguratorWindows&) = delete;
    ConfiguratorWindows& operator=(const ConfiguratorWindows&) = delete;

    WaitWindowType waitWindow;
    CWait wait;
    ConfigWindowType window;
    frmConfig presenter;
    OptionsWindowType optionsWindow;
    frmOptions options;
};

// Opens the configurator the first time it is asked for; later asks change
// nothing, so a second open never loses what the user has typed.
template <class Windows>
class ConfiguratorOnce {
public:
    explicit ConfiguratorOnce(std::function<std::unique_ptr<Windows>()> make) : make_(std::move(make)) {}

    void Open() {
        if (windows_) return;
        windows_ = make_();
        windows_->presenter.Load();
        windows_->window.Show();
    }
    // The open configurator, or nullptr before the first open.
    Windows* get() const { return windows_.get(); }

private:
    std::function<std::unique_ptr<Windows>()> make_;
    std::unique_ptr<Windows> windows_;
};

}  // namespace vlmr
