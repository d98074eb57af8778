#pragma once
// A regular file mapped read-only: its bytes read where they lie in the page
// cache, with no copy. Another process may shrink the file meanwhile, and a
// read past its new end raises SIGBUS; reads go through ReadMapped, which
// turns that into a failure instead of the end of the program.
#include <cstddef>
#include <string>
#include <type_traits>
#include <utility>

#include "platform/Status.h"

namespace vlmr {

class MappedFile {
public:
    MappedFile() = default;
    ~MappedFile();
    MappedFile(MappedFile&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}
    MappedFile& operator=(MappedFile&& other) noexcept {
        std::swap(data_, other.data_);
        std::swap(size_, other.size_);
        return *this;
    }

    // Opens the file as ReadRegularFile does (a regular file of at most
    // limit bytes, never waiting on a FIFO) and maps all of it. An empty
    // file maps to no bytes.
    Status Map(const std::string& path, std::size_t limit);
    const unsigned char* data() const { return data_; }
    std::size_t size() const { return size_; }

private:
    unsigned char* data_ = nullptr;
    std::size_t size_ = 0;
};

// Runs the work, which reads mapped files, on this thread; false when a read
// failed because a file shrank or its disk failed. The work may be cut off
// anywhere, so it must leave nothing to undo: no allocation, no object with
// a destructor.
bool ReadMapped(void (*work)(void*), void* context);

template <typename Work>
bool ReadMapped(Work&& work) {
    return ReadMapped([](void* context) { (*static_cast<std::remove_reference_t<Work>*>(context))(); }, &work);
}

}  // namespace vlmr
