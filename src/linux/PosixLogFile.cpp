#include "PosixLogFile.h"

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Fd.h"
#include "PosixStatus.h"
#include "UserFolders.h"

namespace vlmr {
namespace {

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

// Opens the log for appending without ever waiting: a FIFO put in its place
// must not hang a logon run, so only an ordinary file is taken.
Status OpenForAppend(const std::string& path, int& fd) {
    fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0600);
    if (fd < 0) return StatusFromErrno(errno, path);
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        fd = -1;
        return Status::Fail(ErrorKind::Other, "not an ordinary file");
    }
    return Status::Ok();
}

}  // namespace

std::string DefaultLogPath() { return BaseFolder("XDG_STATE_HOME", "/.local/state") + "/velmora/VLMR.log"; }

PosixLogFile::PosixLogFile(std::string path) : path_(std::move(path)) {}

std::string PosixLogFile::LocalTimestamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    char text[32] = "";
    if (::localtime_r(&now, &local) == nullptr || std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local) == 0)
        return "0000-00-00 00:00:00";
    return text;
}

std::uint64_t PosixLogFile::ProcessId() { return static_cast<std::uint64_t>(::getpid()); }

Status PosixLogFile::Append(std::string_view line) {
    std::string whole(line);
    whole += '\n';
    WriteAll(STDERR_FILENO, whole);

    int fd = -1;
    Status opened = OpenForAppend(path_, fd);
    if (!opened && opened.kind == ErrorKind::PathNotFound) {
        if (Status made = MakeFolders(FolderOf(path_)); !made) return made;
        opened = OpenForAppend(path_, fd);
    }
    if (!opened) return opened;
    Fd file(fd);
    // O_APPEND and one write: a line is never split by another copy's line.
    if (!WriteAll(file.get(), whole)) return StatusFromErrno(errno, path_);
    if (!file.Close()) return StatusFromErrno(errno, path_);
    return Status::Ok();
}

std::uint64_t PosixLogFile::Size() {
    struct stat info {};
    if (::stat(path_.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return 0;
    return static_cast<std::uint64_t>(info.st_size);
}

Status PosixLogFile::MoveAside() {
    const std::string old = path_ + ".1";
    if (::rename(path_.c_str(), old.c_str()) != 0) return StatusFromErrno(errno, path_);
    return Status::Ok();
}

void PosixLogFile::ReportUnwritable(const Status& why) {
    std::fprintf(stderr, "VLMR: the log %s cannot be written (%s); its lines go to stderr only\n", path_.c_str(),
                 why.description.c_str());
    std::fflush(stderr);
}

}  // namespace vlmr
