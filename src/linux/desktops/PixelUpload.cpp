#include "PixelUpload.h"

#include <array>
#include <bit>
#include <cstdlib>

#include <sys/mman.h>

#include "PictureCheck.h"

#include <X11/Xutil.h>

namespace vlmr {
namespace {

int BitsPerPixel(Display* display, int depth) {
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(display, &count);
    int bits = 0;
    for (int i = 0; formats != nullptr && i < count; ++i)
        if (formats[i].depth == depth) bits = formats[i].bits_per_pixel;
    if (formats != nullptr) XFree(formats);
    return bits;
}

constexpr int kNativeOrder = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;

// The visual's pixel bits for every 8-bit level of one colour channel.
using ChannelTable = std::array<unsigned long, 256>;

ChannelTable MakeChannelTable(unsigned long mask) {
    ChannelTable table{};
    if (mask == 0) return table;
    const int shift = std::countr_zero(mask);
    const unsigned long top = mask >> shift;  // masks are contiguous runs of bits
    for (unsigned long level = 0; level < table.size(); ++level)
        table[level] = ((level * top + 127) / 255) << shift;
    return table;
}

// The part of the pixels in the layout of a true-colour visual; nullptr when
// there is no memory for it.
XImage* Converted(Display* display, Visual* visual, int depth, const PixelMemory& memory, const Rect& part) {
    XImage* image = XCreateImage(display, visual, static_cast<unsigned>(depth), ZPixmap, 0, nullptr,
                                 static_cast<unsigned>(part.width), static_cast<unsigned>(part.height), 32, 0);
    if (image == nullptr) return nullptr;
    // malloc, since XDestroyImage releases the data with free.
    image->data = static_cast<char*>(
        std::malloc(static_cast<std::size_t>(image->bytes_per_line) * static_cast<std::size_t>(part.height)));
    if (image->data == nullptr) {
        XDestroyImage(image);
        return nullptr;
    }
    const ChannelTable red = MakeChannelTable(visual->red_mask);
    const ChannelTable green = MakeChannelTable(visual->green_mask);
    const ChannelTable blue = MakeChannelTable(visual->blue_mask);
    const bool words = image->bits_per_pixel == 32;
    // Whole words are written in this machine's order; XPutImage swaps them if the server differs.
    if (words) image->byte_order = kNativeOrder;
    for (int y = 0; y < part.height; ++y) {
        const std::uint32_t* source =
            memory.pixels() + static_cast<std::size_t>(part.y + y) * memory.stride() + static_cast<std::size_t>(part.x);
        char* row = image->data + static_cast<std::ptrdiff_t>(y) * image->bytes_per_line;
        for (int x = 0; x < part.width; ++x) {
            const std::uint32_t rgb = source[x];
            const unsigned long pixel = red[rgb >> 16 & 0xff] | green[rgb >> 8 & 0xff] | blue[rgb & 0xff];
            if (words)
                reinterpret_cast<std::uint32_t*>(row)[x] = static_cast<std::uint32_t>(pixel);
            else
                XPutPixel(image, x, y, pixel);  // 16- or packed 24-bit layouts
        }
    }
    return image;
}

}  // namespace

std::unique_ptr<PixelMemory> PixelMemory::Make(std::uint32_t width, std::uint32_t height) {
    if (width == 0 || height == 0 || std::uint64_t{width} * height > kMaxPicturePixels) return nullptr;
    const std::size_t bytes = std::size_t{width} * height * 4;
    void* start = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (start == MAP_FAILED) return nullptr;
    // A few large pages rather than thousands of small ones, each of which
    // costs a fault, dearly in a virtual machine.
    madvise(start, bytes, MADV_HUGEPAGE);
    return std::unique_ptr<PixelMemory>(new PixelMemory(static_cast<std::uint32_t*>(start), width, height, bytes));
}

PixelMemory::~PixelMemory() { munmap(pixels_, bytes_); }

PixelUpload::PixelUpload(Display* display)
    : display_(display), visual_(DefaultVisual(display, DefaultScreen(display))),
      depth_(DefaultDepth(display, DefaultScreen(display))),
      direct_(visual_->c_class == TrueColor && visual_->red_mask == 0xff0000 && visual_->green_mask == 0xff00 &&
              visual_->blue_mask == 0xff && BitsPerPixel(display, depth_) == 32) {}

bool PixelUpload::Put(const PixelMemory& memory, const Rect& part, Drawable drawable, GC gc, int x, int y) {
    const auto width = static_cast<unsigned>(part.width);
    const auto height = static_cast<unsigned>(part.height);
    auto* data = reinterpret_cast<char*>(memory.pixels());
    if (!direct_) {
        XImage* image = Converted(display_, visual_, depth_, memory, part);
        if (image == nullptr) return false;
        XPutImage(display_, drawable, gc, image, 0, 0, x, y, width, height);
        XDestroyImage(image);
        return true;
    }
    XImage* image = XCreateImage(display_, visual_, static_cast<unsigned>(depth_), ZPixmap, 0, data,
                                 static_cast<unsigned>(memory.stride()), memory.height(), 32,
                                 static_cast<int>(memory.stride() * 4));
    if (image == nullptr) return false;
    image->byte_order = kNativeOrder;
    XPutImage(display_, drawable, gc, image, part.x, part.y, x, y, width, height);
    image->data = nullptr;  // ours, not for XDestroyImage's free
    XDestroyImage(image);
    return true;
}

}  // namespace vlmr
