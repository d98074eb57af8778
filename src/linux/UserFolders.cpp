#include "UserFolders.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "PosixStatus.h"
#include "TextParts.h"

namespace vlmr {

std::string Environment(const char* name, const char* unset) {
    const char* value = std::getenv(name);
    return value ? value : unset;
}

std::string HomeFolder() {
    std::string home = Environment("HOME");
    if (home.empty()) {
        if (const passwd* user = ::getpwuid(::getuid())) home = user->pw_dir;
    }
    return home;
}

std::string BaseFolder(const char* variable, const char* underHome) {
    const std::string value = Environment(variable);
    if (!value.empty() && value.front() == '/') return value;
    return HomeFolder() + underHome;
}

std::vector<std::string> BaseFolders(const char* variable, const char* fallback) {
    std::vector<std::string> folders;
    for (std::string& folder : Split(Environment(variable), ':'))
        if (folder.front() == '/') folders.push_back(std::move(folder));
    return folders.empty() ? Split(fallback, ':') : folders;
}

Status MakeFolders(const std::string& folder) {
    struct stat info {};
    if (::stat(folder.c_str(), &info) == 0) {
        return S_ISDIR(info.st_mode) ? Status::Ok() : StatusFromErrno(ENOTDIR, folder);
    }
    const std::size_t slash = folder.rfind('/');
    if (slash != std::string::npos && slash > 0) {
        if (Status parent = MakeFolders(folder.substr(0, slash)); !parent) return parent;
    }
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) return StatusFromErrno(errno, folder);
    return Status::Ok();
}

}  // namespace vlmr
