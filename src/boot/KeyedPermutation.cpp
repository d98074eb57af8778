#include "boot/KeyedPermutation.h"

#include <utility>

namespace vlmr {

// How it works. The places 0 .. size-1 are numbers of b bits, where 2^b is
// the smallest power of two not below size. A Feistel network shuffles all
// 2^b numbers of b bits: split a number into a left and a right part, and in
// each round replace (left, right) by (right, left XOR F(right)), where F is
// a keyed mixing function. Each round can be undone (XOR the same F(right)
// again), so whatever F is, the network maps the 2^b numbers one to one onto
// themselves. When b is odd the parts differ by one bit; they trade widths
// each round, and after an even number of rounds every bit is back in its
// layout. Numbers of size and above are no places: for those, the network is
// applied again until it gives one below size ("cycle walking"). Following
// the shuffle's cycle from a place always comes back below size, and two
// places never reach the same number, so the result is a permutation of
// 0 .. size-1. Since 2^b < 2 * size, fewer than two passes through the
// network are needed on average.
namespace {

constexpr int kRounds = 6;  // even, see above; four already mix well
constexpr std::uint64_t kGolden = 0x9e3779b97f4a7c15ULL;

std::uint64_t Mask(int bits) { return bits >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << bits) - 1; }

int BitsFor(std::uint64_t size) {
    int bits = 0;
    while (bits < 64 && (std::uint64_t{1} << bits) < size) ++bits;
    return bits;
}

}  // namespace

std::uint64_t Mix64(std::uint64_t x) {
    // The finalizer of SplitMix64.
    x ^= x >> 30;
    x *= 0xbf58476d1ce4e5b9ULL;
    x ^= x >> 27;
    x *= 0x94d049bb133111ebULL;
    x ^= x >> 31;
    return x;
}

KeyedPermutation::KeyedPermutation(std::uint64_t size, std::uint64_t key) : size_(size), key_(key) {
    const int bits = BitsFor(size);
    leftBits_ = (bits + 1) / 2;
    rightBits_ = bits / 2;
}

std::uint64_t KeyedPermutation::Shuffle(std::uint64_t x) const {
    int leftBits = leftBits_;
    int rightBits = rightBits_;
    std::uint64_t left = x >> rightBits;
    std::uint64_t right = x & Mask(rightBits);
    for (int round = 0; round < kRounds; ++round) {
        const std::uint64_t f = Mix64(right ^ Mix64(key_ + kGolden * static_cast<std::uint64_t>(round + 1)));
        const std::uint64_t next = (left ^ f) & Mask(leftBits);
        left = right;
        right = next;
        std::swap(leftBits, rightBits);
    }
    return left << rightBits | right;  // each part has at most 32 bits
}

std::uint64_t KeyedPermutation::At(std::uint64_t i) const {
    if (size_ <= 1) return 0;  // no walk could end for size 0
    std::uint64_t x = Shuffle(i);
    while (x >= size_) x = Shuffle(x);
    return x;
}

}  // namespace vlmr
