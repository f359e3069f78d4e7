#include "platform/ui/qt/Resources.h"

#include <QFile>
#include <QImageReader>
#include <QPixmap>

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

QImage LoadPicture(const QString& path) {
    const QByteArray format = FormatOf(path);
    QImageReader reader(path, format);
    reader.setAutoDetectImageFormat(format.isEmpty());
    return reader.read();
}

} // namespace

QImage LoadBitmapResource(UINT id) {
    return LoadPicture(QStringLiteral(":/lomeva/bitmap/%1").arg(id));
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
