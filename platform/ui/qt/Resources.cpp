#include "platform/ui/qt/Resources.h"

#include "platform/ui/qt/PlainBitmap.h"

#include <QFile>
#include <QImageReader>
#include <QPixmap>
#include <QResource>

#include <cstddef>

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

// A plain bitmap stored uncompressed is read straight from the resource's bytes.
QImage ReadPlainResource(const QString& path) {
    const QResource resource(path);
    if (resource.compressionAlgorithm() != QResource::NoCompression) {
        return {};
    }
    return ReadPlainBitmap(resource.data(), static_cast<std::size_t>(resource.size()));
}

QImage LoadPicture(const QString& path) {
    if (QImage plain = ReadPlainResource(path); !plain.isNull()) {
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
