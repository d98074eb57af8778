#include "MappedFile.h"

#include <cerrno>
#include <csetjmp>
#include <csignal>

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include "Fd.h"
#include "PosixStatus.h"
#include "RegularFile.h"

namespace vlmr {
namespace {

sigjmp_buf* guardJump = nullptr;
pid_t guardThread = 0;
struct sigaction previousAction {};

void OnBusError(int) {
    if (guardJump != nullptr && gettid() == guardThread) siglongjmp(*guardJump, 1);
    // Not a guarded read: the faulting access comes again under the old disposition.
    sigaction(SIGBUS, &previousAction, nullptr);
}

}  // namespace

MappedFile::~MappedFile() {
    if (data_ != nullptr) munmap(data_, size_);
}

Status MappedFile::Map(const std::string& path, std::size_t limit) {
    int opened = -1;
    std::size_t size = 0;
    if (const Status open = OpenRegularFile(path, limit, opened, size); !open) return open;
    const Fd fd(opened);
    if (size == 0) return Status::Ok();
    // All pages mapped at once, rather than a fault for every few of them.
    void* data = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE | MAP_POPULATE, fd.get(), 0);
    if (data == MAP_FAILED) return StatusFromErrno(errno, path);
    data_ = static_cast<unsigned char*>(data);
    size_ = size;
    return Status::Ok();
}

bool ReadMapped(void (*work)(void*), void* context) {
    struct sigaction action {};
    action.sa_handler = &OnBusError;
    sigemptyset(&action.sa_mask);
    sigjmp_buf jump;
    if (guardJump != nullptr || sigaction(SIGBUS, &action, &previousAction) != 0) {
        work(context);  // already guarded, or no guard to be had
        return true;
    }
    guardThread = gettid();
    guardJump = &jump;
    volatile bool done = false;
    if (sigsetjmp(jump, 1) == 0) {
        work(context);
        done = true;
    }
    guardJump = nullptr;
    sigaction(SIGBUS, &previousAction, nullptr);
    return done;
}

}  // namespace vlmr
