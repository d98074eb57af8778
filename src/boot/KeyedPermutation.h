#pragma once
// A shuffled order of 0 .. size-1 that is never written out: the element at
// any place is computed from the key alone, in a few dozen operations, so a
// list of a million pictures costs no memory and no time over a short one.
#include <cstdint>

namespace vlmr {

class KeyedPermutation {
public:
    // size 0 has no places; any key gives a permutation, each key another.
    KeyedPermutation(std::uint64_t size, std::uint64_t key);

    // The element at place i (i < size). Every element appears at exactly
    // one place.
    std::uint64_t At(std::uint64_t i) const;

private:
    std::uint64_t Shuffle(std::uint64_t x) const;

    std::uint64_t size_;
    std::uint64_t key_;
    int leftBits_ = 0;
    int rightBits_ = 0;
};

// Mixes 64 bits so that every input bit reaches every output bit.
std::uint64_t Mix64(std::uint64_t x);

}  // namespace vlmr
