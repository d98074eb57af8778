#pragma once
// Pixels on their way to the X server: memory for them, and sending a part
// of them into a drawable in the screen's pixel layout. They go over the
// connection: MIT-SHM saves the copy into the socket, but the server then
// faults in every page of the segment one by one, which costs more,
// markedly so in a virtual machine.
#include <cstddef>
#include <cstdint>
#include <memory>

#include <X11/Xlib.h>

#include "RootLayout.h"

namespace vlmr {

// 0xFFRRGGBB pixels, row y at pixels() + y * stride().
class PixelMemory {
public:
    // nullptr when there is no memory.
    static std::unique_ptr<PixelMemory> Make(std::uint32_t width, std::uint32_t height);
    ~PixelMemory();
    PixelMemory(const PixelMemory&) = delete;
    PixelMemory& operator=(const PixelMemory&) = delete;

    std::uint32_t* pixels() const { return pixels_; }
    std::size_t stride() const { return stride_; }
    std::uint32_t height() const { return height_; }

private:
    PixelMemory(std::uint32_t* pixels, std::size_t stride, std::uint32_t height, std::size_t bytes)
        : pixels_(pixels), stride_(stride), height_(height), bytes_(bytes) {}

    std::uint32_t* pixels_;
    std::size_t stride_;
    std::uint32_t height_;
    std::size_t bytes_;
};

class PixelUpload {
public:
    // For the default screen of the connection.
    explicit PixelUpload(Display* display);

    // Sends the part of the pixels to (x, y) of the drawable, which is of
    // the screen's depth; false, with nothing sent, when there is no memory
    // to convert them in.
    bool Put(const PixelMemory& memory, const Rect& part, Drawable drawable, GC gc, int x, int y);

private:
    Display* display_;
    Visual* visual_;
    int depth_;
    // The screen's pixels hold 8 bits a colour in 32 bits, red at bit 16:
    // 0xFFRRGGBB is sent as it is. Other true-colour layouts are converted.
    bool direct_;
};

}  // namespace vlmr
