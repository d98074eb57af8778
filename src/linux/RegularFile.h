#pragma once
// Reading a file that may not be what its name promises: a FIFO, a device,
// a folder, or a link to /dev/zero. Only a regular file of bounded size is
// read, and nothing ever waits for a writer that may never come.
#include <cstddef>
#include <string>

#include "platform/Status.h"

namespace vlmr {

// The whole file into bytes. Anything but a regular file, or a file larger
// than limit bytes, is a failure; so is running out of memory.
Status ReadRegularFile(const std::string& path, std::size_t limit, std::string& bytes);

}  // namespace vlmr
