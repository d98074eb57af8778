// The picture acceptance check on the seed pictures of its fuzz target (made
// with ImageMagick, then cut or made to lie) and on the edges of its bounds.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "PictureCheck.h"

namespace vlmr {
namespace {

namespace fs = std::filesystem;

PictureVerdict Check(const std::string& bytes) {
    return CheckPicture(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
}

std::string Le32(std::uint32_t value) {
    std::string out;
    for (int i = 0; i < 4; ++i) out += static_cast<char>(value >> (8 * i) & 0xff);
    return out;
}
std::string Be32(std::uint32_t value) {
    std::string out;
    for (int i = 3; i >= 0; --i) out += static_cast<char>(value >> (8 * i) & 0xff);
    return out;
}

// A PNG whose chunks are all there; the check does not decode, so the
// image data and CRCs need not be real.
std::string Png(std::uint32_t width, std::uint32_t height) {
    auto chunk = [](const char* type, const std::string& data) {
        return Be32(static_cast<std::uint32_t>(data.size())) + type + data + Be32(0);
    };
    return std::string("\x89PNG\r\n\x1a\n", 8) +
           chunk("IHDR", Be32(width) + Be32(height) + std::string("\x08\x02\0\0\0", 5)) +
           chunk("IDAT", "xx") + chunk("IEND", "");
}

// An 8-bit bitmap with a two-colour palette and the pixel bytes given.
std::string Bmp8(std::int32_t width, std::int32_t height, std::uint32_t compression,
                 const std::string& pixels) {
    const std::string palette(8, '\x7f');
    const auto offset = static_cast<std::uint32_t>(14 + 40 + palette.size());
    std::string info = Le32(40) + Le32(static_cast<std::uint32_t>(width)) +
                       Le32(static_cast<std::uint32_t>(height)) + std::string("\x01\0\x08\0", 4) +
                       Le32(compression) + Le32(static_cast<std::uint32_t>(pixels.size())) +
                       Le32(0) + Le32(0) + Le32(2) + Le32(0);
    return "BM" + Le32(offset + static_cast<std::uint32_t>(pixels.size())) + Le32(0) +
           Le32(offset) + info + palette + pixels;
}

TEST(PictureCheck, SeedsThatAreWholeAndSeedsThatAreNot) {
    int seeds = 0;
    for (const auto& entry : fs::directory_iterator(VELMORA_PICTURE_SEEDS)) {
        const std::string name = entry.path().filename().string();
        std::ifstream in(entry.path(), std::ios::binary);
        const PictureVerdict verdict =
            Check({std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()});
        // Named whole* when every pixel is in the file; cut-*, lying-* and skip-* are not.
        EXPECT_EQ(verdict.whole, name.rfind("whole", 0) == 0) << name << ": " << verdict.problem;
        EXPECT_NE(verdict.format, PictureFormat::Unknown) << name;
        ++seeds;
    }
    EXPECT_GE(seeds, 10);
}

TEST(PictureCheck, SizeBoundIsInclusiveAndOverflowsNothing) {
    EXPECT_TRUE(Check(Png(16384, 16384)).whole);
    EXPECT_TRUE(Check(Png(65536, 4096)).whole) << "the bound is on pixels, not on a side";
    EXPECT_FALSE(Check(Png(16385, 16384)).whole);
    EXPECT_FALSE(Check(Png(0x7fffffff, 0x7fffffff)).whole);
    EXPECT_FALSE(Check(Png(0, 8)).whole);
    // Sides whose product or stride would wrap 32 bits, or the smallest
    // height, which has no positive counterpart in 32 bits.
    EXPECT_FALSE(Check(Bmp8(0x10000, 0x10001, 0, std::string(64, '\0'))).whole);
    EXPECT_FALSE(Check(Bmp8(4, INT32_MIN, 0, std::string(64, '\0'))).whole);
    EXPECT_FALSE(Check(Bmp8(-4, 4, 0, std::string(16, '\0'))).whole);
}

TEST(PictureCheck, BitmapPixelsMustAllBeInTheFile) {
    // 3 x 2 at 8 bits: lines of 4 bytes, bottom-up or top-down alike.
    EXPECT_TRUE(Check(Bmp8(3, 2, 0, std::string(8, '\1'))).whole);
    EXPECT_TRUE(Check(Bmp8(3, -2, 0, std::string(8, '\1'))).whole);
    EXPECT_FALSE(Check(Bmp8(3, 2, 0, std::string(7, '\1'))).whole) << "the last padding is missing";
    EXPECT_FALSE(Check(Bmp8(3, -3, 0, std::string(8, '\1'))).whole);
    // Pixels said to start inside the palette: Qt reads on after it, where
    // only one line is.
    std::string early = Bmp8(3, 2, 0, std::string(4, '\1'));
    early.replace(10, 4, Le32(14 + 40));
    EXPECT_FALSE(Check(early).whole);
}

TEST(PictureCheck, RunLengthStreamMustSetEveryPixel) {
    // Four pixels of colour 1, end of line.
    const std::string line = std::string("\x04\x01", 2) + std::string("\0\0", 2);
    const std::string end("\0\x01", 2);
    EXPECT_TRUE(Check(Bmp8(4, 2, 1, line + line + end)).whole);
    EXPECT_TRUE(Check(Bmp8(4, 2, 1, line + std::string("\x04\x01", 2) + end)).whole)
        << "the end marker may close the last line";
    // Qt leaves what such streams do not set as the allocator left it.
    EXPECT_FALSE(Check(Bmp8(4, 2, 1, line + end)).whole) << "a line is missing";
    EXPECT_FALSE(Check(Bmp8(4, 2, 1, std::string("\x02\x01\0\0", 4) + line + end)).whole)
        << "a short line";
    EXPECT_FALSE(Check(Bmp8(4, 2, 1, line + std::string("\0\x02\x02\0", 4) + line + end)).whole)
        << "a jump";
    EXPECT_FALSE(Check(Bmp8(4, 2, 1, line + line)).whole) << "no end marker";
    EXPECT_FALSE(Check(Bmp8(4, 2, 1, line + std::string("\0\x04\x01\x01", 4))).whole)
        << "a literal run cut off";
    EXPECT_FALSE(Check(Bmp8(4, -2, 1, line + line + end)).whole) << "top-down";
    // Qt's lines hold a multiple of 4 pixels: a run may fill the padding
    // (ImageMagick's do) but not spill into the next line.
    EXPECT_TRUE(Check(Bmp8(3, 2, 1, line + line + end)).whole);
    EXPECT_FALSE(Check(Bmp8(3, 2, 1, std::string("\x05\x01\0\0", 4) + line + end)).whole);
}

TEST(PictureCheck, OnlyTheFiveFormatsAreKnown) {
    EXPECT_FALSE(Check("").whole);
    EXPECT_FALSE(Check("BM").whole);
    EXPECT_EQ(Check(std::string("RIFF\x04\0\0\0WAVE", 12)).format, PictureFormat::Unknown);
    EXPECT_EQ(Check("P6\n1 1\n255\n\0\0\0").format, PictureFormat::Unknown);
    EXPECT_FALSE(Check("P6\n1 1\n255\n\0\0\0").whole);
}

}  // namespace
}  // namespace vlmr
