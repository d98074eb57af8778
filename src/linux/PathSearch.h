#pragma once
// Finding a program as the shell would, without running a shell.
#include <string>

namespace vlmr {

// The first executable file of that name in a folder of PATH, or "".
std::string FindOnPath(const std::string& program);
// A program named with a slash when it is an executable file, else the
// name searched on PATH; "" when there is nothing to run.
std::string ProgramPath(const std::string& program);

}  // namespace vlmr
