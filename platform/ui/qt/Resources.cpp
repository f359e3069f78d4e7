#include "platform/ui/qt/Resources.h"

#include <QPixmap>

#include <map>
#include <memory>

QImage LoadBitmapResource(UINT id) {
    return QImage(QStringLiteral(":/lomeva/bitmap/%1").arg(id));
}

HICON LoadIconResource(UINT id) {
    static std::map<UINT, std::unique_ptr<HICON__>> icons;
    auto& icon = icons[id];
    if (!icon) {
        QImage image(QStringLiteral(":/lomeva/icon/%1").arg(id));
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
