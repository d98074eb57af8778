#include "PosixFileSystem.h"

#include <cerrno>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

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

// errno as the program's Status, with English descriptions of our own:
// strerror speaks the user's locale, and these go into English boxes.
// ENOENT is PathNotFound when a folder on the way is missing.
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

// Closes the descriptor when the scope ends.
class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    int get() const { return fd_; }
    // Closes now and reports whether the close itself succeeded.
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return ::close(fd) == 0;
    }

private:
    int fd_;
};

std::string FolderOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return ".";
    if (slash == 0) return "/";
    return std::string(path.substr(0, slash));
}

bool WriteAll(int fd, std::string_view text) {
    const char* p = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
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

}  // namespace

Status PosixFileSystem::ReadTextFile(std::string_view path, std::string& text) {
    const std::string name(path);
    Fd fd(::open(name.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.get() < 0) return StatusFromErrno(errno, path);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return StatusFromErrno(errno, path);
    if (S_ISDIR(info.st_mode)) return StatusFromErrno(EISDIR, path);

    // One buffer of the file's size, filled in place. A file that grows
    // meanwhile (or reports no size, like a pipe) is read to its end anyway.
    std::string buffer;
    buffer.resize(static_cast<std::size_t>(info.st_size > 0 ? info.st_size : 0) + 1);
    std::size_t used = 0;
    for (;;) {
        if (used == buffer.size()) buffer.resize(buffer.size() * 2);
        const ssize_t n = ::read(fd.get(), buffer.data() + used, buffer.size() - used);
        if (n < 0) {
            if (errno == EINTR) continue;
            return StatusFromErrno(errno, path);
        }
        if (n == 0) break;
        used += static_cast<std::size_t>(n);
    }
    buffer.resize(used);
    text = std::move(buffer);
    return Status::Ok();
}

Status PosixFileSystem::PrepareFolderOf(std::string_view path) {
    const std::string folder = FolderOf(path);
    if (folder != appFolder_) return Status::Ok();
    return MakeFolders(folder);
}

Status PosixFileSystem::WriteTextFileAtomic(std::string_view path, std::string_view text) {
    if (Status folder = PrepareFolderOf(path); !folder) return folder;
    const std::string target(path);

    // The new text goes to a fresh file beside the old one first; only a
    // complete, synced file is renamed over it.
    std::string temp;
    int raw = -1;
    for (int attempt = 0; raw < 0 && attempt < 100; ++attempt) {
        temp = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        raw = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (raw < 0 && errno != EEXIST) return StatusFromErrno(errno, path);
    }
    if (raw < 0) return StatusFromErrno(EEXIST, path);
    Fd fd(raw);

    struct stat old {};
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) ::fchmod(fd.get(), old.st_mode & 07777);

    int error = 0;
    if (!WriteAll(fd.get(), text) || ::fsync(fd.get()) != 0) error = errno;
    if (!fd.Close() && error == 0) error = errno;
    if (error == 0 && ::rename(temp.c_str(), target.c_str()) != 0) error = errno;
    if (error != 0) {
        ::unlink(temp.c_str());
        return StatusFromErrno(error, path);
    }
    // Make the rename itself durable.
    Fd folder(::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0) ::fsync(folder.get());
    return Status::Ok();
}

Status PosixFileSystem::WriteTextFile(std::string_view path, std::string_view text) {
    if (Status folder = PrepareFolderOf(path); !folder) return folder;
    const std::string name(path);
    Fd fd(::open(name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    if (fd.get() < 0) return StatusFromErrno(errno, path);
    if (!WriteAll(fd.get(), text)) return StatusFromErrno(errno, path);
    if (!fd.Close()) return StatusFromErrno(errno, path);
    return Status::Ok();
}

Status PosixFileSystem::RemoveFile(std::string_view path) {
    const std::string name(path);
    if (::unlink(name.c_str()) != 0) return StatusFromErrno(errno, path);
    return Status::Ok();
}

Status PosixFileSystem::FirstMatchingFile(std::string_view pattern, std::string& name) {
    name.clear();
    const std::string path(pattern);
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (errno == ENOENT || errno == ENOTDIR) return Status::Ok();
        return StatusFromErrno(errno, pattern);
    }
    if (S_ISREG(info.st_mode)) {
        const std::size_t slash = pattern.rfind('/');
        name = std::string(slash == std::string_view::npos ? pattern : pattern.substr(slash + 1));
    }
    return Status::Ok();
}

}  // namespace vlmr
