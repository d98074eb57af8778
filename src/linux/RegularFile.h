#pragma once
// Reading a file that may not be what its name promises: a FIFO, a device,
// a folder, or a link to /dev/zero. Only a regular file of bounded size is
// read, and nothing ever waits for a writer that may never come.
#include <cstddef>
#include <string>

#include "platform/Status.h"

namespace vlmr {

// Opens the file for reading when it is a regular file of at most limit
// bytes; `fd` then holds the descriptor (the caller closes it) and `size`
// the file's size. Nothing waits for a FIFO's writer, and no terminal
// becomes ours.
Status OpenRegularFile(const std::string& path, std::size_t limit, int& fd, std::size_t& size);

// The whole file into bytes. Anything but a regular file, or a file larger
// than limit bytes, is a failure; so is running out of memory.
Status ReadRegularFile(const std::string& path, std::size_t limit, std::string& bytes);

}  // namespace vlmr
