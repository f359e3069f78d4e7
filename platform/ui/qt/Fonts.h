#pragma once
// Fonts by face and point size. The handheld's "宋体" is drawn with a Song/Ming-style face that
// Debian packages; sizes become pixels at the handheld's 96 dots per inch.

#include "platform/core/CString.h"

#include <QFont>

// Maps the handheld's face names to installed faces; safe to call more than once.
void InstallFontSubstitutions();

// Pixel height of a font of `tenths` tenths of a point, rounded as the device rounds it.
int PointTenthsToPixels(int tenths);

// The zoom the screen is drawn at, for the fonts made after it: at zoom 1 a face that has bitmaps
// of its own for a size is drawn with them. 1 until the screen says otherwise.
void SetScreenZoom(int zoom);

QFont MakeFont(const CString& face, int tenths);

// Whether `font` draws its face's own bitmaps, which are not smoothed: they sit on whole pixels.
bool DrawsFaceBitmaps(const QFont& font);

// The face of the reading surfaces (the poem page and the reference pages), with the faces that
// stand in for it when it is not installed.
QFont MakeReadingFont();
