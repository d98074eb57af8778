#pragma once
// Shrinking a picture by whole factors, each output pixel the mean of its
// block: the averaging that a bilinear filter lacks when it shrinks, done
// before the X server scales the rest (less than twice). Plain C++.
#include <cstddef>
#include <cstdint>

namespace vlmr {

// The whole factor, 1 to 8192, by which `from` pixels can be averaged on
// the way to `to` and leave a further shrink of less than half.
std::uint32_t BoxFactor(int from, int to);

// Averages kx x ky blocks of the width x height 0xFFRRGGBB pixels at `in`
// into ceil(width / kx) x ceil(height / ky) pixels at `out`; the blocks at
// the right and bottom edges average what they hold. Factors come from
// BoxFactor. `out` may be `in` with
// the same stride: each output pixel lies at or before its block.
void BoxShrink(const std::uint32_t* in, std::size_t inStride, std::uint32_t width, std::uint32_t height,
               std::uint32_t kx, std::uint32_t ky, std::uint32_t* out, std::size_t outStride);

}  // namespace vlmr
