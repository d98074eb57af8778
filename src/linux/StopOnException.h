#pragma once
// No exception leaves main or crosses an event loop: each one ends the
// program with what failed on stderr, in the log and, where a toolkit can
// show one, in a box; then exit code 1.
#include <functional>
#include <string>

namespace vlmr {

// Tells what the exception being handled was and ends the process with 1.
// Call it only inside a catch block.
[[noreturn]] void StopForCurrentException() noexcept;

// How the text reaches the user besides stderr and the log: a box titled
// kStopTitle. Without one, stderr and the log are all.
void ShowStopsIn(std::function<void(const std::string& text)> box);

// The first stop is being told: an exception thrown while its box runs an
// event loop of its own is dropped, so the user can still read the first.
bool Stopping();

}  // namespace vlmr
