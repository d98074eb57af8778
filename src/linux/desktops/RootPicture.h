#pragma once
// The picture of a root-window wallpaper: decoded from its file only when it
// holds every pixel, and laid out in a style over the area it is shown in.
#include <QImage>

#include <cstdint>
#include <string>

namespace vlmr {

// The picture decoded from the file; a null image and why not when it is
// not shown.
QImage LoadPicture(const std::string& file, std::string& why);

// The picture as an area of width x height shows it in the style (a
// WallpaperStyle), over black.
QImage RenderRoot(const QImage& picture, std::uint32_t style, int width, int height);

}  // namespace vlmr
