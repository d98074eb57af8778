#pragma once
// A display that cannot be reached, or that goes away while the toolkit
// connects to it, ends the program with one plain line on stderr and exit
// code 1, never with the toolkit's abort and its advice to reinstall.
namespace vlmr {

// Call before the QApplication is made. From here on a fatal message of the
// toolkit becomes that line, and so does a crash of the toolkit while it
// connects; its other messages wait for ToolkitStarted().
void GuardToolkitStart();

// Call once the QApplication stands: the held messages go out as the toolkit
// would have printed them, and a crash is no longer taken for the display's.
void ToolkitStarted();

}  // namespace vlmr
