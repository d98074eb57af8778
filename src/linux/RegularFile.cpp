#include "RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <algorithm>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

#include "Fd.h"
#include "PosixStatus.h"

namespace vlmr {
namespace {

Status TooLarge() { return Status::Fail(ErrorKind::Other, "File too large"); }

}  // namespace

Status ReadRegularFile(const std::string& path, std::size_t limit, std::string& bytes) {
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a
    // writer, and a terminal could become ours; both are refused below.
    const Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) return StatusFromErrno(errno, path);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return StatusFromErrno(errno, path);
    if (S_ISDIR(info.st_mode)) return StatusFromErrno(EISDIR, path);
    if (!S_ISREG(info.st_mode))
        return Status::Fail(ErrorKind::Other, "Path/File access error: not an ordinary file");
    if (info.st_size < 0 || static_cast<unsigned long long>(info.st_size) > limit) return TooLarge();

    try {
        // One byte more than the size, so a file that grew meanwhile is
        // noticed; it is read on only up to the limit.
        std::string buffer(static_cast<std::size_t>(info.st_size) + 1, '\0');
        std::size_t used = 0;
        for (;;) {
            if (used == buffer.size()) {
                if (buffer.size() > limit) return TooLarge();
                buffer.resize(std::min(limit + 1, buffer.size() * 2));
            }
            const ssize_t n = ::read(fd.get(), buffer.data() + used, buffer.size() - used);
            if (n < 0) {
                if (errno == EINTR) continue;
                return StatusFromErrno(errno, path);
            }
            if (n == 0) break;
            used += static_cast<std::size_t>(n);
        }
        if (used > limit) return TooLarge();
        buffer.resize(used);
        bytes = std::move(buffer);
    } catch (const std::bad_alloc&) {
        return StatusFromErrno(ENOMEM, path);
    }
    return Status::Ok();
}

}  // namespace vlmr
