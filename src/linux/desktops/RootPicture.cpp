#include "RootPicture.h"

#include "PictureCheck.h"
#include "linux/RegularFile.h"
#include "platform/WallpaperService.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QPainter>

#include <algorithm>
#include <cstdint>
#include <string>

namespace vlmr {
namespace {

const char* QtFormat(PictureFormat format) {
    switch (format) {
    case PictureFormat::Bmp: return "bmp";
    case PictureFormat::Png: return "png";
    case PictureFormat::Gif: return "gif";
    case PictureFormat::Jpeg: return "jpeg";
    case PictureFormat::Webp: return "webp";  // a plug-in: qt6-image-formats-plugins
    case PictureFormat::Unknown: break;
    }
    return "";
}

// The middle of the picture in the screen's proportions, at least one
// pixel each way: what fills the screen once scaled. Cropping before the
// scaling keeps the work to the screen's size, however long the picture.
QRect CropToScreen(const QSize& picture, int width, int height) {
    const auto w = static_cast<std::int64_t>(picture.width());
    const auto h = static_cast<std::int64_t>(picture.height());
    if (w * height > h * width) {
        const int kept = static_cast<int>(std::max<std::int64_t>(1, (h * width + height / 2) / height));
        return {(picture.width() - kept) / 2, 0, kept, picture.height()};
    }
    const int kept = static_cast<int>(std::max<std::int64_t>(1, (w * height + width / 2) / width));
    return {0, (picture.height() - kept) / 2, picture.width(), kept};
}

// The largest size of the picture's proportions inside the screen, at
// least one pixel each way.
QSize FitInScreen(const QSize& picture, int width, int height) {
    const auto w = static_cast<std::int64_t>(picture.width());
    const auto h = static_cast<std::int64_t>(picture.height());
    if (w * height > h * width)
        return {width, static_cast<int>(std::max<std::int64_t>(1, (h * width + w / 2) / w))};
    return {static_cast<int>(std::max<std::int64_t>(1, (w * height + h / 2) / h)), height};
}

}  // namespace

// The picture decoded from the file's bytes; a null image and why not when
// it is not shown. Only a picture that is whole in the file is decoded, by
// the decoder of the format it was checked as, and only a decode that Qt
// reports as done is shown: anything else could put memory that nobody
// wrote on the root, where every X client can read it.
QImage LoadPicture(const std::string& file, std::string& why) {
    std::string bytes;
    // Read once and bounded, without waiting on a FIFO or a device.
    if (const auto read = ReadRegularFile(file, kMaxPictureBytes, bytes); !read) {
        why = read.description;
        return {};
    }
    const PictureVerdict verdict =
        CheckPicture(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    if (!verdict.whole) {
        why = verdict.problem;
        return {};
    }

    QBuffer buffer;
    buffer.setData(QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!buffer.open(QIODevice::ReadOnly)) {
        why = "the picture cannot be read from memory";
        return {};
    }
    // Qt's default of 128 MB would refuse an 8000 x 8000 picture; this is
    // the largest one we show, 16384 x 16384 at 32 bits a pixel (1 GiB).
    QImageReader::setAllocationLimit(kMaxDecodedMegabytes);
    QImageReader reader(&buffer, QtFormat(verdict.format));
    reader.setAutoDetectImageFormat(false);
    // The size as the decoder sees it, before it allocates anything.
    const QSize size = reader.size();
    if (size.isValid() &&
        static_cast<std::uint64_t>(size.width()) * static_cast<std::uint64_t>(size.height()) >
            kMaxPicturePixels) {
        why = "the picture is larger than 16384 x 16384 pixels";
        return {};
    }
    QImage picture;
    if (!reader.read(&picture) || picture.isNull()) {
        why = "the picture cannot be decoded: " + reader.errorString().toStdString();
        return {};
    }
    return picture;
}

// The picture as the root window shows it, over black: around a centred
// picture, in the bars beside a fitted one and under transparent pixels
// there is nothing else to show, and black is what a screen shows for
// nothing.
QImage RenderRoot(const QImage& picture, std::uint32_t style, int width, int height) {
    QImage root(width, height, QImage::Format_RGB32);
    root.fill(Qt::black);
    QPainter painter(&root);
    switch (style) {
    case WPSTYLE_CENTER:
        painter.drawImage(width / 2 - picture.width() / 2, height / 2 - picture.height() / 2,
                          picture);
        break;
    case WPSTYLE_TILE:
        painter.fillRect(root.rect(), QBrush(picture));  // the brush starts at the top-left corner
        break;
    case WPSTYLE_KEEPASPECT: {
        const QSize size = FitInScreen(picture.size(), width, height);
        painter.drawImage((width - size.width()) / 2, (height - size.height()) / 2,
                          picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        break;
    }
    case WPSTYLE_CROPTOFIT:
        painter.drawImage(0, 0,
                          picture.copy(CropToScreen(picture.size(), width, height))
                              .scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation));
        break;
    default:
        // QImage's smooth scaling averages when shrinking; the painter's would alias.
        painter.drawImage(0, 0,
                          picture.scaled(width, height, Qt::IgnoreAspectRatio,
                                         Qt::SmoothTransformation));
        break;
    }
    painter.end();
    return root;
}

}  // namespace vlmr
