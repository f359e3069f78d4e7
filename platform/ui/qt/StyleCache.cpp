#include "platform/ui/qt/StyleCache.h"

#include <QPixmapCache>

void TurnOffStylePixmapCache() {
    // With no room, every insertion is refused and leaves no name behind.
    QPixmapCache::setCacheLimit(0);
}
