#pragma once
// No exception leaves wWinMain or crosses the system's message dispatch:
// each one ends the program with a box that says what failed, and exit code 1.

namespace vlmr::win32 {

// Shows what the exception being handled was, in a box titled "Velmora"
// (and on stderr, when someone reads it), and ends the process with 1. Call
// it only inside a catch block.
[[noreturn]] void StopForCurrentException() noexcept;

// Whether that box is up: a window procedure that throws meanwhile is
// passed over, so the box stays for the user to read.
bool Stopping() noexcept;

}  // namespace vlmr::win32
