#pragma once
// The boot run's helpers: the random draw and the file presence test.
#include <cstdint>
#include <optional>
#include <string_view>

#include "platform/FileSystem.h"
#include "platform/Runtime.h"

namespace vlmr {

// A whole number from lower to upper, both included, drawn by a generator
// seeded afresh from the time of day. Nothing when the range overflows.
std::optional<double> RandomBetween(Runtime& rt, std::int32_t upper, std::int32_t lower);

// Whether an ordinary file matches the path. Nothing when the listing itself
// fails (a drive that is not ready), so the caller can tell that apart.
std::optional<bool> FileExists(FileSystem& fs, std::string_view path);

}  // namespace vlmr
