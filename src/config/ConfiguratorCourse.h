#pragma once
// The configurator's course, the same on every system: its window and its
// progress window wired to their presenters, made once, loaded with the
// stored choices before it is first drawn, then shown. A front end names
// its two window types and what they are made from.
#include <functional>
#include <memory>
#include <utility>

#include "config/CWait.h"
#include "config/frmConfig.h"

namespace vlmr {

template <class WaitWindowType, class ConfigWindowType>
struct ConfiguratorWindows {
    template <class... WindowArguments>
    ConfiguratorWindows(ConfigServices services, std::function<WindowHandle()> webOwner,
                        WindowArguments&... windowArguments)
        : waitWindow(windowArguments...),
          wait(services.base.runtime, services.base.shell, waitWindow),
          window(windowArguments...),
          presenter(std::move(services), window, wait, std::move(webOwner)) {
        window.Attach(presenter);
        waitWindow.SetClickAction([this] { wait.WLabrel_Click(); });
    }
    ConfiguratorWindows(const ConfiguratorWindows&) = delete;
    ConfiguratorWindows& operator=(const ConfiguratorWindows&) = delete;

    WaitWindowType waitWindow;
    CWait wait;
    ConfigWindowType window;
    frmConfig presenter;
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
