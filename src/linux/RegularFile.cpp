#include "RegularFile.h"

#include <cerrno>
#include <fcntl.h>
#include <algorithm>
#include <cstdint>
#include <new>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Fd.h"
#include "PosixStatus.h"

namespace vlmr {
namespace {

Status TooLarge() { return Status::Fail(ErrorKind::Other, "File too large"); }

// A fresh buffer of many megabytes costs a page fault for every 4 KiB first
// touched, which dwarfs the copy itself (a 50 MB list: about 170 ms against
// 25 ms). Asking for huge pages makes that a fault every 2 MiB. Where the
// kernel has none to give, nothing changes.
void AskForHugePages(char* data, std::size_t size) {
    constexpr std::size_t kHugePage = std::size_t{2} << 20;
    if (size < kHugePage) return;
    const auto page = static_cast<std::uintptr_t>(::sysconf(_SC_PAGESIZE));
    const std::uintptr_t begin = (reinterpret_cast<std::uintptr_t>(data) + page - 1) / page * page;
    const std::uintptr_t end = (reinterpret_cast<std::uintptr_t>(data) + size) / page * page;
    if (end > begin) ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
}

}  // namespace

Status OpenRegularFile(const std::string& path, std::size_t limit, int& opened, std::size_t& size) {
    opened = -1;
    // O_NONBLOCK: opening a FIFO for reading would otherwise wait for a
    // writer, and a terminal could become ours; both are refused below.
    Fd fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) return StatusFromErrno(errno, path);
    struct stat info {};
    if (::fstat(fd.get(), &info) != 0) return StatusFromErrno(errno, path);
    if (S_ISDIR(info.st_mode)) return StatusFromErrno(EISDIR, path);
    if (!S_ISREG(info.st_mode))
        return Status::Fail(ErrorKind::Other, "Path/File access error: not an ordinary file");
    if (info.st_size < 0 || static_cast<unsigned long long>(info.st_size) > limit) return TooLarge();
    size = static_cast<std::size_t>(info.st_size);
    opened = fd.Release();
    return Status::Ok();
}

Status ReadRegularFile(const std::string& path, std::size_t limit, std::string& bytes) {
    int opened = -1;
    std::size_t size = 0;
    if (const Status open = OpenRegularFile(path, limit, opened, size); !open) return open;
    const Fd fd(opened);

    try {
        // One byte more than the size, so a file that grew meanwhile is
        // noticed; it is read on only up to the limit. The memory is asked
        // for before the first byte of it is touched.
        const std::size_t room = size + 1;
        std::string buffer;
        buffer.reserve(room);
        AskForHugePages(buffer.data(), buffer.capacity());
        buffer.resize(room);
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
