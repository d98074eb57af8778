#include "PosixFileSystem.h"

#include "Fd.h"
#include "PosixStatus.h"
#include "RegularFile.h"
#include "UserFolders.h"

#include <cerrno>
#include <climits>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace vlmr {
namespace {

std::string FolderOf(std::string_view path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string_view::npos) return ".";
    if (slash == 0) return "/";
    return std::string(path.substr(0, slash));
}

// Where a write of path really lands: a link (a dotfile manager's, say) is
// followed to the file it names, so the link stays and its target changes.
// A relative link is read from the link's own folder.
std::string FinalTarget(const std::string& path) {
    std::string target = path;
    for (int hops = 0; hops < 40; ++hops) {  // the kernel's own limit on links
        std::string link(PATH_MAX, '\0');
        const ssize_t n = ::readlink(target.c_str(), link.data(), link.size());
        if (n < 0 || static_cast<std::size_t>(n) >= link.size()) return target;
        link.resize(static_cast<std::size_t>(n));
        target = link.front() == '/' ? link : FolderOf(target) + "/" + link;
    }
    return target;
}

// The temporary file a write of target uses: the process id keeps two
// writers apart, the counter one writer's attempts.
std::string TempPrefix(const std::string& target) { return target + ".tmp"; }

// Temporary files of earlier writes of target whose writer is gone (killed
// mid-save, say) would stay for ever: they are ours, so they go. A writer
// still running keeps its file.
void RemoveLeftovers(const std::string& target) {
    const std::size_t slash = target.rfind('/');
    const std::string prefix = TempPrefix(target).substr(slash == std::string::npos ? 0 : slash + 1);
    DIR* dir = ::opendir(FolderOf(target).c_str());
    if (dir == nullptr) return;
    const pid_t self = ::getpid();
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name.substr(0, prefix.size()) != prefix) continue;
        // "<pid>-<attempt>" and nothing else
        const std::string_view rest = name.substr(prefix.size());
        const std::size_t dash = rest.find('-');
        if (dash == 0 || dash == std::string_view::npos || dash + 1 == rest.size()) continue;
        if (rest.find_first_not_of("0123456789-") != std::string_view::npos) continue;
        if (rest.find('-', dash + 1) != std::string_view::npos || dash > 9) continue;
        const pid_t pid = static_cast<pid_t>(std::stol(std::string(rest.substr(0, dash))));
        if (pid != self && (pid <= 0 || ::kill(pid, 0) == 0 || errno != ESRCH)) continue;
        ::unlinkat(::dirfd(dir), entry->d_name, 0);
    }
    ::closedir(dir);
}

}  // namespace

Status PosixFileSystem::ReadTextFile(std::string_view path, std::string& text, std::size_t limit) {
    return ReadRegularFile(std::string(path), limit, text);
}

Status PosixFileSystem::PrepareFolderOf(std::string_view path) {
    const std::string folder = FolderOf(path);
    if (folder != appFolder_) return Status::Ok();
    return MakeFolders(folder);
}

Status PosixFileSystem::WriteTextFileAtomic(std::string_view path, std::string_view text) {
    if (Status folder = PrepareFolderOf(path); !folder) return folder;
    const std::string target = FinalTarget(std::string(path));
    RemoveLeftovers(target);

    // The new text goes to a fresh file beside the old one first; only a
    // complete, synced file is renamed over it.
    std::string temp;
    int raw = -1;
    for (int attempt = 0; raw < 0 && attempt < 100; ++attempt) {
        temp = TempPrefix(target) + std::to_string(::getpid()) + "-" + std::to_string(attempt);
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
    Fd folder(::open(FolderOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
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
