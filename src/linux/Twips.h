#pragma once
// Layout places are kept in twips; a 96 dpi pixel is 15 of them (the
// toolkit scales 96 dpi pixels on a denser screen).
namespace vlmr {

// To the nearest pixel.
constexpr int TwipsToPixels(int twips) { return (twips + 7) / 15; }

}  // namespace vlmr
