#include "QtPictureDecoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QImage>
#include <QImageReader>
#include <QPainter>

#include <cstdint>

#include "X11RootWallpaper.h"

namespace vlmr {
namespace {

const char* QtFormat(PictureFormat format) {
    switch (format) {
    case PictureFormat::Bmp: return "bmp";
    case PictureFormat::Png: return "png";
    case PictureFormat::Gif: return "gif";
    case PictureFormat::Jpeg: return "jpeg";
    case PictureFormat::Webp: return "webp";
    case PictureFormat::Unknown: break;
    }
    return "";
}

}  // namespace

// Only a decode that Qt reports as done is shown: anything else could put
// memory that nobody wrote on the root, where every X client can read it.
bool QtPictureDecoder::Decode(const unsigned char* data, std::size_t size, PictureFormat format,
                              PixelTarget& target, std::string& why) {
    QBuffer buffer;
    buffer.setData(QByteArray::fromRawData(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (!buffer.open(QIODevice::ReadOnly)) {
        why = "the picture cannot be read from memory";
        return false;
    }
    // Qt's default of 128 MB would refuse an 8000 x 8000 picture; this is
    // the largest one we show, 16384 x 16384 at 32 bits a pixel (1 GiB).
    QImageReader::setAllocationLimit(kMaxDecodedMegabytes);
    QImageReader reader(&buffer, QtFormat(format));
    reader.setAutoDetectImageFormat(false);
    // The size as the decoder sees it, before it allocates anything.
    const QSize announced = reader.size();
    if (announced.isValid() && static_cast<std::uint64_t>(announced.width()) * static_cast<std::uint64_t>(announced.height()) >
                               kMaxPicturePixels) {
        why = "the picture is larger than 16384 x 16384 pixels";
        return false;
    }
    QImage picture;
    if (!reader.read(&picture) || picture.isNull()) {
        why = "the picture cannot be decoded: " + reader.errorString().toStdString();
        return false;
    }
    std::size_t stride = 0;
    std::uint32_t* pixels = target.Room(static_cast<std::uint32_t>(picture.width()),
                                        static_cast<std::uint32_t>(picture.height()), stride);
    if (pixels == nullptr) {
        why = "there is no memory for the decoded picture";
        return false;
    }
    // Drawn over black as the root shows it, into the memory it is sent from.
    QImage canvas(reinterpret_cast<uchar*>(pixels), picture.width(), picture.height(),
                  static_cast<qsizetype>(stride * 4), QImage::Format_RGB32);
    const bool opaque = !picture.hasAlphaChannel();
    if (!opaque) canvas.fill(Qt::black);
    QPainter painter(&canvas);
    if (opaque) painter.setCompositionMode(QPainter::CompositionMode_Source);  // no need to blend
    painter.drawImage(0, 0, picture);
    return true;
}

// The default root setter decodes with the toolkit: defined here, so only a
// program that links the toolkit can construct it so.
X11RootWallpaper::X11RootWallpaper() : others_(std::make_shared<QtPictureDecoder>()) {}

}  // namespace vlmr
