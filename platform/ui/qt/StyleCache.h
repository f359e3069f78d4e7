#pragma once
// The widget style draws buttons, combo boxes and scroll bars into pixmaps and keeps them in the
// process's pixmap cache under a name made from the widget's palette. Every widget gets a palette
// of its own, so every screen opened adds pixmaps under names that no later screen asks for
// again; and Qt 6.4 keeps the name of every pixmap it ever dropped from the cache, even through
// QPixmapCache::clear(). Caching would grow the program by every screen it ever showed. The
// style draws the same pixels without the cache, into a pixmap of the moment.

// Keeps the style's pixmaps out of the cache; safe to call again.
void TurnOffStylePixmapCache();
