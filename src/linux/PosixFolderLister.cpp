#include "PosixFolderLister.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace vlmr {
namespace {

Status ListingFailure(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR: return Status::Fail(ErrorKind::PathNotFound, "Path not found");
        case EACCES:
        case EPERM: return Status::Fail(ErrorKind::AccessDenied, "Permission denied");
        default: return Status::Fail(ErrorKind::Other, "Path/File access error");
    }
}

enum class Kind { Folder, File, Neither };

// The entry's kind, following a link to what it names. The directory
// stream usually says so itself; only links and file systems that do not
// report types cost a stat.
Kind KindOf(int folderFd, const dirent& entry) {
    switch (entry.d_type) {
        case DT_DIR: return Kind::Folder;
        case DT_REG: return Kind::File;
        case DT_LNK:
        case DT_UNKNOWN: break;
        default: return Kind::Neither;  // devices, pipes, sockets
    }
    struct stat info {};
    if (::fstatat(folderFd, entry.d_name, &info, 0) != 0) return Kind::Neither;  // a dangling link
    if (S_ISDIR(info.st_mode)) return Kind::Folder;
    if (S_ISREG(info.st_mode)) return Kind::File;
    return Kind::Neither;
}

}  // namespace

Status PosixFolderLister::ListFolder(std::string_view folder, FolderListing& listing) {
    const std::string path(folder);
    const int fd = ::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return ListingFailure(errno);
    struct stat info {};
    if (::fstat(fd, &info) == 0) listing.id = {static_cast<std::uint64_t>(info.st_dev),
                                               static_cast<std::uint64_t>(info.st_ino), true};
    DIR* dir = ::fdopendir(fd);
    if (!dir) {
        const int error = errno;
        ::close(fd);
        return ListingFailure(error);
    }
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) {
            if (errno != 0) listing.subfoldersStatus = listing.filesStatus = ListingFailure(errno);
            break;
        }
        const char* name = entry->d_name;
        if (name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'))) continue;
        switch (KindOf(fd, *entry)) {
            case Kind::Folder: listing.subfolders.emplace_back(name); break;
            case Kind::File: listing.files.emplace_back(name); break;
            case Kind::Neither: break;
        }
    }
    ::closedir(dir);
    return Status::Ok();
}

std::string PosixFolderLister::JoinPath(std::string_view folder, std::string_view name) {
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder);
    if (path.empty() || path.back() != '/') path += '/';
    path.append(name);
    return path;
}

}  // namespace vlmr
