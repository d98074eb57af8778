#pragma once
// The image list file: one image path per line.
#include <cstddef>
#include <string_view>

#include "platform/FileSystem.h"
#include "platform/Runtime.h"
#include "store/ListBox.h"

namespace vlmr {

// A list file larger than this is taken for something else (a link to a
// device, a runaway file) and treated as unreadable.
inline constexpr std::size_t kListFileLimit = std::size_t{1} << 30;

// Replaces the list with the lines of the file. When the file cannot be
// read, tells the user the program is not configured and ends the program;
// returns false then, so the caller stops at once.
bool LoadListFromFile(FileSystem& fs, Runtime& rt, std::string_view file, ListBox& list);

// Writes every entry followed by CR LF, replacing the old file in one step.
// A failure is told to the user; returns whether the file was written.
bool SaveListToFile(FileSystem& fs, Runtime& rt, std::string_view file, const ListBox& list);

}  // namespace vlmr
