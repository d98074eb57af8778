#include "PathSearch.h"

#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

#include "UserFolders.h"

namespace vlmr {
namespace {

bool IsExecutableFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

}  // namespace

std::string FindOnPath(const std::string& program) {
    // An unset PATH searches the usual folders; an empty one, the current.
    const std::string path = Environment("PATH", "/usr/local/bin:/usr/bin:/bin");
    std::string_view folders = path;
    while (true) {
        const std::size_t colon = folders.find(':');
        std::string folder(folders.substr(0, colon));
        if (folder.empty()) folder = ".";  // an empty entry means the current folder
        const std::string candidate = folder + "/" + program;
        if (IsExecutableFile(candidate)) return candidate;
        if (colon == std::string_view::npos) return "";
        folders.remove_prefix(colon + 1);
    }
}

std::string ProgramPath(const std::string& program) {
    if (program.find('/') != std::string::npos) return IsExecutableFile(program) ? program : "";
    return FindOnPath(program);
}

}  // namespace vlmr
