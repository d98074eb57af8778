#pragma once
// Started at logon, VLMR can run before the desktop's shell is up: Plasma
// registers on the session bus, and sway may make its socket, seconds after
// autostart programs start. The setters that talk to a running shell wait for
// it within one bound, running the event loop meanwhile, so the banner keeps
// repainting and taking its click.
#include <chrono>
#include <functional>

#include <QDeadlineTimer>

namespace vlmr {

// How long a setter waits for its desktop's shell before leaving the wallpaper as it was.
inline constexpr std::chrono::seconds kDesktopStartWait{30};

// Runs the event loop until done() says yes (true) or the deadline has passed (false).
bool RunEventsUntil(const std::function<bool()>& done, const QDeadlineTimer& deadline);

// Asks ready() until it says yes (true) or the deadline has passed (false),
// running the event loop for the pause between two asks.
bool WaitUntil(const std::function<bool()>& ready, const QDeadlineTimer& deadline,
               std::chrono::milliseconds pause);

}  // namespace vlmr
