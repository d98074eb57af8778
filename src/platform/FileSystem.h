#pragma once
// Files as the program's logic sees them: whole text files in UTF-8, and the
// directory listing. Encodings, handles and separators stay behind this seam.
#include <cstddef>
#include <string>
#include <string_view>

#include "platform/Status.h"

namespace vlmr {

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Reads the whole file as UTF-8 text (the platform converts what it
    // stored in its own encoding). A missing file is FileNotFound; anything
    // but an ordinary file, or one over limit bytes, cannot be read.
    virtual Status ReadTextFile(std::string_view path, std::string& text, std::size_t limit) = 0;
    // Replaces the file with the text so that a reader sees the old file or
    // the new one, never a half-written one.
    virtual Status WriteTextFileAtomic(std::string_view path, std::string_view text) = 0;
    // Creates or truncates the file and writes the text.
    virtual Status WriteTextFile(std::string_view path, std::string_view text) = 0;
    virtual Status RemoveFile(std::string_view path) = 0;
    // Name of the first ordinary file (not a folder, not hidden, not a system
    // file) that matches the path, or "" when none does. A listing that cannot
    // be made at all (unreachable drive) is a failure.
    virtual Status FirstMatchingFile(std::string_view pattern, std::string& name) = 0;
};

}  // namespace vlmr
