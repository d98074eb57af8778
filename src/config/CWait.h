#pragma once
// The progress window shown while the save collects images.
#include "boot/frmMain.h"
#include "config/WaitLayout.h"

namespace vlmr {

class WaitView {
public:
    virtual ~WaitView() = default;
    virtual void Show() = 0;  // modeless, no owner, centred on the screen
    virtual void Focus() = 0;
    virtual void Hide() = 0;
    virtual WindowHandle Handle() = 0;
};

class CWait {
public:
    CWait(Runtime& runtime, Shell& shell, WaitView& view) : runtime_(runtime), shell_(shell), view_(view) {}
    void Show() { view_.Show(); }
    void Focus() { view_.Focus(); }
    void Hide() { view_.Hide(); }
    // The label doubles as a link to the home page.
    void WLabrel_Click();

    static constexpr const char* kWLabrel = layout::Find(kWaitControls, "WLabrel")->caption;

private:
    Runtime& runtime_;
    Shell& shell_;
    WaitView& view_;
};

}  // namespace vlmr
