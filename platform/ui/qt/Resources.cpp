#include "platform/ui/qt/Resources.h"

#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <QResource>

#include <cstddef>
#include <cstdint>

#include <map>
#include <memory>

namespace {

// The picture's format from its first bytes. Named, it spares Qt loading every image format
// plugin (and the libraries under them) to ask which one reads a resource without a suffix.
QByteArray FormatOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QByteArray start = file.peek(8);
    if (start.startsWith("BM")) {
        return "BMP";
    }
    if (start.startsWith("\x89PNG")) {
        return "PNG";
    }
    if (start.startsWith("P3") || start.startsWith("P6")) {
        return "PPM";
    }
    return {}; // Qt finds out itself
}

std::uint32_t Little(const uchar* bytes, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

// A picture of 24 bits a pixel without compression (what the art generator writes), read
// straight from the resource's bytes into the format Qt's own reader gives it: the main screen's
// picture is drawn first thing at start-up, and Qt reads such a file a row at a time through a
// device. A null image for any other picture.
QImage ReadPlainBitmap(const QString& path) {
    const QResource resource(path);
    const auto* bytes = resource.data();
    const auto size = static_cast<std::size_t>(resource.size());
    constexpr std::size_t kHeaders = 14 + 40;
    if (bytes == nullptr || resource.compressionAlgorithm() != QResource::NoCompression ||
        size < kHeaders || bytes[0] != 'B' || bytes[1] != 'M' || Little(bytes + 14, 4) < 40 ||
        Little(bytes + 28, 2) != 24 || Little(bytes + 30, 4) != 0) {
        return {};
    }
    const auto width = static_cast<std::int32_t>(Little(bytes + 18, 4));
    const auto height = static_cast<std::int32_t>(Little(bytes + 22, 4));
    const int rows = height < 0 ? -height : height;
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 3 + 3) & ~std::size_t{3};
    const std::size_t pixels = Little(bytes + 10, 4);
    if (width <= 0 || rows <= 0 || width > 0x4000 || rows > 0x4000 ||
        pixels + rowBytes * static_cast<std::size_t>(rows) > size) {
        return {};
    }
    QImage image(width, rows, QImage::Format_RGB32);
    for (int y = 0; y < rows; ++y) {
        // Rows run from the bottom up unless the height is negative.
        const uchar* from =
            bytes + pixels + rowBytes * static_cast<std::size_t>(height < 0 ? y : rows - 1 - y);
        auto* to = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x, from += 3) {
            to[x] = qRgb(from[2], from[1], from[0]);
        }
    }
    return image;
}

QImage LoadPicture(const QString& path) {
    if (QImage plain = ReadPlainBitmap(path); !plain.isNull()) {
        return plain;
    }
    const QByteArray format = FormatOf(path);
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(format.isEmpty());
    return reader.read();
}

} // namespace

// Read once: the main screen loads its picture at every paint, and a copy of the image read
// shares its pixels.
QImage LoadBitmapResource(UINT id) {
    static std::map<UINT, QImage> bitmaps;
    const auto found = bitmaps.find(id);
    if (found != bitmaps.end()) {
        return found->second;
    }
    QImage image = LoadPicture(QStringLiteral(":/lomeva/bitmap/%1").arg(id));
    if (!image.isNull()) {
        bitmaps.emplace(id, image);
    }
    return image;
}

HICON LoadIconResource(UINT id) {
    static std::map<UINT, std::unique_ptr<HICON__>> icons;
    auto& icon = icons[id];
    if (!icon) {
        QImage image = LoadPicture(QStringLiteral(":/lomeva/icon/%1").arg(id));
        if (image.isNull()) {
            icons.erase(id);
            return nullptr;
        }
        icon = std::make_unique<HICON__>(HICON__{id, std::move(image)});
    }
    return icon.get();
}

QIcon IconFromHandle(HICON icon) {
    return icon != nullptr ? QIcon(QPixmap::fromImage(icon->image)) : QIcon();
}
