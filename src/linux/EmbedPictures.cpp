// A build step, not part of VLMR: writes the source of LeanPictures.h's
// arrays, so the lean program decodes no PNG and reads no file for its banner.
// usage: EmbedPictures OUTPUT.cpp BANNER.bmp ICON.png...
#include <QFile>
#include <QImage>

#include <cstdio>
#include <string>
#include <vector>

namespace {

int Fail(const std::string& why) {
    std::fprintf(stderr, "EmbedPictures: %s\n", why.c_str());
    return 1;
}

template <class Number>
void WriteNumbers(std::string& out, const std::vector<Number>& numbers, const char* format) {
    char cell[16];
    for (std::size_t i = 0; i < numbers.size(); ++i) {
        std::snprintf(cell, sizeof cell, format, static_cast<unsigned>(numbers[i]));
        out += cell;
        out += (i + 1) % 12 == 0 ? ",\n" : ", ";
    }
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 4) return Fail("usage: EmbedPictures OUTPUT.cpp BANNER.bmp ICON.png...");
    QFile banner(QString::fromLocal8Bit(argv[2]));
    if (!banner.open(QIODevice::ReadOnly)) return Fail(std::string("cannot read ") + argv[2]);
    const QByteArray bytes = banner.readAll();

    std::vector<std::uint32_t> icon;
    for (int i = 3; i < argc; ++i) {
        const QImage image = QImage(QString::fromLocal8Bit(argv[i])).convertToFormat(QImage::Format_ARGB32);
        if (image.isNull()) return Fail(std::string("cannot read the picture ") + argv[i]);
        icon.push_back(static_cast<std::uint32_t>(image.width()));
        icon.push_back(static_cast<std::uint32_t>(image.height()));
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) icon.push_back(image.pixel(x, y));
    }

    std::string out = "// Written by EmbedPictures at build time; not to be edited.\n"
                      "#include \"LeanPictures.h\"\n\nnamespace vlmr {\n\nconst unsigned char kBannerBmp[] = {\n";
    WriteNumbers(out, std::vector<unsigned char>(bytes.begin(), bytes.end()), "0x%02x");
    out += "};\nconst std::size_t kBannerBmpSize = sizeof kBannerBmp;\n\nconst std::uint32_t kWindowIcon[] = {\n";
    WriteNumbers(out, icon, "0x%08x");
    out += "};\nconst std::size_t kWindowIconLength = sizeof kWindowIcon / sizeof kWindowIcon[0];\n\n}  // namespace vlmr\n";

    std::FILE* file = std::fopen(argv[1], "wb");
    if (!file) return Fail(std::string("cannot write ") + argv[1]);
    const bool written = std::fwrite(out.data(), 1, out.size(), file) == out.size();
    if (std::fclose(file) != 0 || !written) return Fail(std::string("cannot write ") + argv[1]);
    return 0;
}
