#pragma once
// The start-up banner of the lean course, on Xlib alone: borderless, with no
// title, centred on the primary monitor, white with the banner picture at
// the top left. The X server paints it from a background pixmap, so it
// shows whole the moment it is mapped and while nobody reads its events.
#include <functional>

#include "boot/frmMain.h"

struct _XDisplay;

namespace vlmr {

class XBanner : public MainView {
public:
    // On a connection of the caller's, which outlives the banner.
    explicit XBanner(_XDisplay* display);
    XBanner(const XBanner&) = delete;
    XBanner& operator=(const XBanner&) = delete;

    // What a click on the surface does (the presenter's click handler).
    void SetClickAction(std::function<void()> action) { click_ = std::move(action); }

    // Mapped and on the server when this returns.
    void Show() override;
    void Focus() override;
    void Hide() override;
    void Unload() override;
    WindowHandle Handle() override;

    // Handles the events waiting now: a click, the window manager's close.
    void DeliverEvents();
    // Forgets the clicks made while a box was up: they were not meant for
    // the banner, as the toolkit's modal box would have kept them from it.
    void DropPointerInput();

private:
    // Made on first use, as the toolkit makes its native windows.
    unsigned long NativeWindow();

    _XDisplay* display_;
    unsigned long window_ = 0;
    unsigned long deleteAtom_ = 0;  // WM_DELETE_WINDOW
    unsigned long activeAtom_ = 0;  // _NET_ACTIVE_WINDOW
    bool pressed_ = false;          // the left button went down on the banner
    std::function<void()> click_;
};

}  // namespace vlmr
