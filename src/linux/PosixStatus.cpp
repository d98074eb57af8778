#include "PosixStatus.h"

#include <cerrno>
#include <string>
#include <sys/stat.h>

namespace vlmr {
namespace {

bool ParentFolderExists(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return true;  // the current folder
    const std::string parent(slash == 0 ? std::string_view("/") : path.substr(0, slash));
    struct stat info {};
    return ::stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

const char* OtherDescription(int error) {
    switch (error) {
        case EISDIR: return "Path/File access error: the name is a folder";
        case ENOSPC: return "Disk full";
        case EDQUOT: return "Disk quota exceeded";
        case EROFS: return "Path/File access error: the disk is read-only";
        case EIO: return "Device I/O error";
        case ENAMETOOLONG: return "Bad file name: the name is too long";
        case ELOOP: return "Bad file name: too many symbolic links";
        case EMFILE:
        case ENFILE: return "Too many files open";
        case ENOMEM: return "Out of memory";
        case EFBIG: return "File too large";
        case EBUSY:
        case ETXTBSY: return "Path/File access error: the file is in use";
        case EXDEV: return "Path/File access error: the file cannot be moved to another disk";
        default: return "Path/File access error";
    }
}

}  // namespace

Status StatusFromErrno(int error, std::string_view path) {
    switch (error) {
        case ENOENT:
            if (!ParentFolderExists(path)) return Status::Fail(ErrorKind::PathNotFound, "Path not found");
            return Status::Fail(ErrorKind::FileNotFound, "File not found");
        case ENOTDIR: return Status::Fail(ErrorKind::PathNotFound, "Path not found");
        case EACCES:
        case EPERM: return Status::Fail(ErrorKind::AccessDenied, "Permission denied");
        default: return Status::Fail(ErrorKind::Other, OtherDescription(error));
    }
}

}  // namespace vlmr
