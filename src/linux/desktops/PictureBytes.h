#pragma once
// Bounds-checked reads over a picture file's bytes; every offset is checked
// against the size before use, in 64 bits, so no sum can wrap.
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vlmr {

class Bytes {
public:
    Bytes(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

    std::uint64_t size() const { return size_; }
    bool Has(std::uint64_t at, std::uint64_t count) const {
        return at <= size_ && count <= size_ - at;
    }
    unsigned At(std::uint64_t at) const { return data_[at]; }
    std::uint32_t Le16(std::uint64_t at) const { return At(at) | At(at + 1) << 8; }
    std::uint32_t Le32(std::uint64_t at) const {
        return Le16(at) | static_cast<std::uint32_t>(Le16(at + 2)) << 16;
    }
    std::uint32_t Be16(std::uint64_t at) const { return At(at) << 8 | At(at + 1); }
    std::uint32_t Be32(std::uint64_t at) const {
        return static_cast<std::uint32_t>(Be16(at)) << 16 | Be16(at + 2);
    }
    bool Starts(const char* text) const {
        const std::size_t n = std::strlen(text);
        return n <= size_ && std::memcmp(data_, text, n) == 0;
    }

private:
    const unsigned char* data_;
    std::size_t size_;
};

}  // namespace vlmr
