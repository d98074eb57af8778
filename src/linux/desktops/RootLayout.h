#pragma once
// Where a picture goes in an area of the root window, in each wallpaper
// style: which part of it is shown, and over which rectangle. Plain C++.
#include <cstdint>

namespace vlmr {

struct Rect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    bool Empty() const { return width <= 0 || height <= 0; }
    bool SameSize(const Rect& other) const { return width == other.width && height == other.height; }
};

// The overlap of two rectangles; empty when there is none.
Rect Intersect(const Rect& a, const Rect& b);

struct RootLayout {
    Rect shown;          // the part of the picture that is shown
    Rect target;         // where it goes, in the area; black around it
    bool tiled = false;  // `shown` repeats over `target` from its top-left corner
    // The picture is scaled from `shown` to `target`.
    bool Scaled() const { return !tiled && !shown.SameSize(target); }
};

// The picture of width x height in the style (a WallpaperStyle; anything
// else is a stretch) over an area of areaWidth x areaHeight.
RootLayout LayOut(std::uint32_t style, int width, int height, int areaWidth, int areaHeight);

}  // namespace vlmr
