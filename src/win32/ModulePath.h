#pragma once
// The full path of the running executable, under whatever name it was
// started, however long; empty when the system does not say.
#include <string>

namespace vlmr::win32 {

std::wstring RunningModulePath();

}  // namespace vlmr::win32
