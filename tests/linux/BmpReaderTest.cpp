// The bitmap decoder against Qt's reader, pixel for pixel: every picture is
// decoded by DecodeBmp and by QImageReader drawn over black, as the root
// renderer draws it. The pictures come from ImageMagick and, for what it
// does not write, from bytes made here; all are 37 x 23 or small, so odd
// line padding shows.
#include <gtest/gtest.h>

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "BmpReader.h"
#include "TempFolderTest.h"

namespace vlmr {
namespace {

constexpr std::uint32_t kRgb = 0;
constexpr std::uint32_t kRle8 = 1;
constexpr std::uint32_t kRle4 = 2;
constexpr std::uint32_t kBitFields = 3;
using Masks = std::array<std::uint32_t, 4>;  // red, green, blue, alpha

struct Case {
    Case(std::string n, std::string b, std::string r = {}, bool c = false)
        : name(std::move(n)), bytes(std::move(b)), reference(std::move(r)), converted(c) {}
    std::string name;
    std::string bytes;
    std::string reference;  // what Qt decodes instead, when it refuses these bytes
    bool converted;         // Qt paints indices past the palette from unset memory: compare
                            // with its conversion, which makes them black
};

std::string Le16(std::uint32_t value) { return {char(value & 0xff), char(value >> 8 & 0xff)}; }
std::string Le32(std::uint32_t value) { return Le16(value & 0xffff) + Le16(value >> 16); }

// Bytes that look random and are the same on every run; `below` bounds each.
std::string Noise(std::size_t count, unsigned below = 256, std::uint32_t seed = 1) {
    std::string out;
    for (std::size_t i = 0; i < count; ++i) {
        seed = seed * 1103515245 + 12345;
        out += static_cast<char>((seed >> 16) % below);
    }
    return out;
}

std::size_t Stride(std::size_t width, unsigned bits) { return (width * bits + 31) / 32 * 4; }

// A bitmap with a header of `header` bytes: the masks inside a large one or
// after a 40-byte one with bit fields; a palette of noise, of `colours`
// entries or, when that is 0, of all the pixel's bits can index.
std::string Bmp(std::uint32_t header, std::int32_t width, std::int32_t height, unsigned bits,
                std::uint32_t compression, std::uint32_t colours, const std::string& pixels,
                const Masks& masks = {}) {
    std::string info;
    if (header == 12) {
        info = Le32(12) + Le16(static_cast<std::uint32_t>(width)) +
               Le16(static_cast<std::uint32_t>(height)) + Le16(1) + Le16(bits);
    } else {
        info = Le32(header) + Le32(static_cast<std::uint32_t>(width)) +
               Le32(static_cast<std::uint32_t>(height)) + Le16(1) + Le16(bits) +
               Le32(compression) + Le32(static_cast<std::uint32_t>(pixels.size())) + Le32(2835) +
               Le32(2835) + Le32(colours) + Le32(0);
        if (header > 40 || compression == kBitFields)
            info += Le32(masks[0]) + Le32(masks[1]) + Le32(masks[2]);
        if (header > 52) info += Le32(masks[3]);
        info.resize(std::max<std::size_t>(info.size(), header), '\0');
    }
    const std::uint32_t entries = colours != 0 || bits > 8 ? colours : 1u << bits;
    const std::string palette = Noise(entries * (header == 12 ? 3 : 4), 256, 7);
    const auto offset = static_cast<std::uint32_t>(14 + info.size() + palette.size());
    return "BM" + Le32(offset + static_cast<std::uint32_t>(pixels.size())) + Le32(0) +
           Le32(offset) + info + palette + pixels;
}

std::vector<Case> HandMade() {
    constexpr int w = 37;
    constexpr int h = 23;
    const std::string p16 = Noise(Stride(w, 16) * h);
    const std::string p32 = Noise(Stride(w, 32) * h);
    const Masks argb{0xff0000, 0xff00, 0xff, 0xff000000};
    const Masks noAlpha{0xff0000, 0xff00, 0xff, 0};
    const Masks rgb565{0xf800, 0x07e0, 0x001f, 0};
    const Masks argb4444{0x0f00, 0x00f0, 0x000f, 0xf000};
    const Masks wide{0x3ff00000, 0x000ffc00, 0x000003ff, 0xc0000000};
    std::vector<Case> cases = {
        {"16-bit 5-5-5", Bmp(40, w, h, 16, kRgb, 0, p16)},
        {"16-bit bit fields 5-6-5", Bmp(40, w, h, 16, kBitFields, 0, p16, rgb565)},
        {"16-bit masks of a V4 header without bit fields", Bmp(108, w, h, 16, kRgb, 0, p16, rgb565)},
        {"16-bit bit fields 4-4-4-4", Bmp(108, w, h, 16, kBitFields, 0, p16, argb4444)},
        {"32-bit, the fourth byte unused", Bmp(40, w, h, 32, kRgb, 0, p32)},
        {"32-bit, alpha named by a V4 header", Bmp(108, w, h, 32, kRgb, 0, p32, argb)},
        {"32-bit bit fields 10-10-10-2", Bmp(124, w, h, 32, kBitFields, 0, p32, wide)},
        {"24-bit top-down", Bmp(40, w, -h, 24, kRgb, 0, Noise(Stride(w, 24) * h))},
        {"4-bit top-down", Bmp(40, w, -h, 4, kRgb, 0, Noise(Stride(w, 4) * h))},
        {"1-bit, 2 colours", Bmp(40, w, h, 1, kRgb, 2, Noise(Stride(w, 1) * h))},
        // Qt's default second colour of a bitmap is white.
        {"1-bit, 1 colour", Bmp(40, w, h, 1, kRgb, 1, Noise(Stride(w, 1) * h))},
        {"8-bit, indices past 5 colours", Bmp(40, w, h, 8, kRgb, 5, Noise(Stride(w, 8) * h)), "",
         true},
        {"4-bit, indices past 3 colours", Bmp(40, w, h, 4, kRgb, 3, Noise(Stride(w, 4) * h)), "",
         true},
        // Qt refuses the 52- and 56-byte headers; they show as the V4 one does.
        {"32-bit, 52-byte header", Bmp(52, w, h, 32, kBitFields, 0, p32, noAlpha),
         Bmp(108, w, h, 32, kBitFields, 0, p32, noAlpha)},
        {"16-bit, 56-byte header", Bmp(56, w, h, 16, kBitFields, 0, p16, argb4444),
         Bmp(108, w, h, 16, kBitFields, 0, p16, argb4444)},
    };
    // 5 x 3 from the bottom line up: runs, literal runs with and without
    // padding, and a line that runs on into the padding of Qt's line.
    const std::string rle8("\x02\x01\x00\x03\x02\x03\x04\x00\x00\x00"
                           "\x00\x05\x01\x02\x03\x04\x01\x00\x00\x00"
                           "\x07\x03\x00\x01", 24);
    cases.push_back({"RLE8", Bmp(40, 5, 3, 8, kRle8, 5, rle8)});
    const std::string rle4("\x03\x12\x00\x03\x34\x10\x00\x00"
                           "\x00\x05\x12\x34\x10\x00\x00\x00"
                           "\x05\x21\x00\x00\x00\x01", 22);
    cases.push_back({"RLE4", Bmp(40, 5, 3, 4, kRle4, 5, rle4)});
    // Pixels said to start inside the palette: Qt reads them after it.
    std::string early = Bmp(40, 3, 2, 8, kRgb, 4, Noise(8, 4));
    early.replace(10, 4, Le32(14 + 40));
    cases.push_back({"8-bit, offset into the palette", early});
    return cases;
}

// Qt's picture as the root renderer draws it: over black into RGB32.
QImage QtOverBlack(const std::string& bytes, bool converted) {
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "bmp");
    reader.setAutoDetectImageFormat(false);
    QImage picture;
    if (!reader.read(&picture)) return {};
    if (converted) return picture.convertToFormat(QImage::Format_RGB32);
    QImage root(picture.size(), QImage::Format_RGB32);
    root.fill(Qt::black);
    QPainter(&root).drawImage(0, 0, picture);
    return root;
}

struct Made {
    const char* name;
    const char* options;
    unsigned bits;
    BmpCompression compression;
};

class BmpReader : public test::TempFolderTest {
protected:
    // Each file is checked to be of the kind named, so the set cannot shrink
    // unseen when ImageMagick changes what it writes.
    std::vector<Case> FromImageMagick() {
        const Made made[] = {
            {"bmp2 24-bit", "-define bmp:format=bmp2 -type TrueColor", 24, BmpCompression::Rgb},
            {"bmp2 8-bit", "-define bmp:format=bmp2 -colors 200 -type Palette", 8, BmpCompression::Rgb},
            {"bmp2 4-bit", "-define bmp:format=bmp2 -colors 12 -type Palette", 4, BmpCompression::Rgb},
            {"bmp2 1-bit", "-define bmp:format=bmp2 -monochrome", 1, BmpCompression::Rgb},
            {"bmp3 24-bit", "-define bmp:format=bmp3 -type TrueColor", 24, BmpCompression::Rgb},
            {"bmp3 8-bit", "-define bmp:format=bmp3 -colors 200 -type Palette -compress None", 8,
             BmpCompression::Rgb},
            {"bmp3 RLE8", "-define bmp:format=bmp3 -colors 200 -type Palette -compress RLE", 8,
             BmpCompression::Rle8},
            {"bmp3 4-bit", "-define bmp:format=bmp3 -colors 12 -type Palette -compress None", 4,
             BmpCompression::Rgb},
            {"bmp3 1-bit", "-define bmp:format=bmp3 -monochrome", 1, BmpCompression::Rgb},
            {"bmp4 32-bit alpha", "-define bmp:format=bmp4 -type TrueColorAlpha", 32,
             BmpCompression::BitFields},
            {"bmp4 24-bit", "-define bmp:format=bmp4 -type TrueColor", 24, BmpCompression::Rgb},
            {"bmp4 RLE8", "-define bmp:format=bmp4 -colors 200 -type Palette -compress RLE", 8,
             BmpCompression::Rle8},
            {"bmp4 16-bit 5-6-5", "-alpha off -define bmp:subtype=RGB565", 16,
             BmpCompression::BitFields},
            {"bmp4 16-bit 1-5-5-5", "-define bmp:subtype=ARGB1555", 16, BmpCompression::BitFields},
            {"bmp4 16-bit 4-4-4-4", "-define bmp:subtype=ARGB4444", 16, BmpCompression::BitFields},
        };
        // Colours everywhere, alpha from opaque at the top to clear at the bottom.
        const std::string source = Path("source.png");
        const std::string make = "/usr/bin/convert -size 37x23 -seed 7 plasma: "
                                 "'(' -size 37x23 gradient:white-black ')' -alpha off "
                                 "-compose CopyOpacity -composite '" + source + "'";
        EXPECT_EQ(std::system(make.c_str()), 0) << make;
        std::vector<Case> cases;
        for (const Made& m : made) {
            const std::string file = Path(std::to_string(cases.size()) + ".bmp");
            const std::string command =
                "/usr/bin/convert '" + source + "' " + m.options + " 'bmp:" + file + "'";
            EXPECT_EQ(std::system(command.c_str()), 0) << command;
            Case c{m.name, Contents(file)};
            BmpLayout layout;
            ReadBmpHeaders(reinterpret_cast<const unsigned char*>(c.bytes.data()), c.bytes.size(),
                           layout);
            EXPECT_EQ(layout.bits, m.bits) << m.name;
            EXPECT_EQ(layout.compression, m.compression) << m.name;
            cases.push_back(c);
        }
        return cases;
    }
};

TEST_F(BmpReader, EveryPixelAsQtDrawsItOverBlack) {
    std::vector<Case> cases = FromImageMagick();
    for (Case& c : HandMade()) cases.push_back(std::move(c));
    constexpr std::uint32_t kUnwritten = 0x12345678;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const auto* data = reinterpret_cast<const unsigned char*>(c.bytes.data());
        std::string why;
        const std::optional<BmpLayout> layout = ReadBmpLayout(data, c.bytes.size(), why);
        ASSERT_TRUE(layout) << why;
        const QImage qt = QtOverBlack(c.reference.empty() ? c.bytes : c.reference, c.converted);
        ASSERT_FALSE(qt.isNull()) << "Qt cannot decode it";
        ASSERT_EQ(qt.width(), static_cast<int>(layout->width));
        ASSERT_EQ(qt.height(), static_cast<int>(layout->height));

        // One column more than the picture, which must stay unwritten.
        const std::size_t stride = layout->width + 1;
        std::vector<std::uint32_t> out(stride * layout->height, kUnwritten);
        ASSERT_TRUE(DecodeBmp(data, c.bytes.size(), *layout, out.data(), stride));
        int wrong = 0;
        std::string first;
        for (int y = 0; y < qt.height(); ++y) {
            const std::uint32_t* row = out.data() + static_cast<std::size_t>(y) * stride;
            EXPECT_EQ(row[layout->width], kUnwritten) << "past the end of line " << y;
            for (int x = 0; x < qt.width(); ++x) {
                if (row[x] == qt.pixel(x, y)) continue;
                if (wrong++ == 0)
                    first = "(" + std::to_string(x) + ", " + std::to_string(y) + "): " +
                            QString::number(row[x], 16).toStdString() + " instead of " +
                            QString::number(qt.pixel(x, y), 16).toStdString();
            }
        }
        EXPECT_EQ(wrong, 0) << "the first is " << first;
    }
}

}  // namespace
}  // namespace vlmr
