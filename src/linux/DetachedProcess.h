#pragma once
// Starting a program that lives on by itself: in a session of its own, not
// our child (so it never waits to be reaped), and not ended with us.
#include <string>
#include <vector>

namespace vlmr {

// Runs `program` (a path) with the arguments (its name not among them) in
// `folder` ("" for ours). False when it could not be started: no process,
// no such folder, or a program that cannot be run.
bool StartDetached(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder);

}  // namespace vlmr
