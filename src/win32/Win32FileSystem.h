#pragma once
// Text files and the directory listing on Windows. Paths arrive as UTF-8 and
// go to the W functions as UTF-16, so any file name works.
#include "platform/FileSystem.h"

namespace vlmr::win32 {

class Win32FileSystem : public FileSystem {
public:
    Status ReadTextFile(std::string_view path, std::string& text, std::size_t limit) override;
    Status WriteTextFileAtomic(std::string_view path, std::string_view text) override;
    Status WriteTextFile(std::string_view path, std::string_view text) override;
    Status RemoveFile(std::string_view path) override;
    Status FirstMatchingFile(std::string_view pattern, std::string& name) override;
};

}  // namespace vlmr::win32
