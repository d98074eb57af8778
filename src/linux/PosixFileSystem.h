#pragma once
// Files through plain POSIX calls. Text is stored as UTF-8, as given.
#include <string>

#include "platform/FileSystem.h"

namespace vlmr {

class PosixFileSystem : public FileSystem {
public:
    // The application folder comes into being with the first file written
    // into it; no other folder is ever created (none at all without one).
    explicit PosixFileSystem(std::string appFolder = {}) : appFolder_(std::move(appFolder)) {}

    Status ReadTextFile(std::string_view path, std::string& text, std::size_t limit) override;
    Status WriteTextFileAtomic(std::string_view path, std::string_view text) override;
    Status WriteTextFile(std::string_view path, std::string_view text) override;
    Status RemoveFile(std::string_view path) override;
    Status FirstMatchingFile(std::string_view pattern, std::string& name) override;

private:
    Status PrepareFolderOf(std::string_view path);

    std::string appFolder_;
};

}  // namespace vlmr
