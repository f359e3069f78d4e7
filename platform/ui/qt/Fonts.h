#pragma once
// Fonts by face and point size. The handheld's "宋体" is drawn with a Song/Ming-style face that
// Debian packages; sizes become pixels at the handheld's 96 dots per inch.

#include "platform/core/CString.h"

#include <QFont>

// Maps the handheld's face names to installed faces; safe to call more than once.
void InstallFontSubstitutions();

// Pixel height of a font of `tenths` tenths of a point, rounded as the device rounds it.
int PointTenthsToPixels(int tenths);

QFont MakeFont(const CString& face, int tenths);

// The face of the reading surfaces (the poem page and the reference pages), with the faces that
// stand in for it when it is not installed.
QFont MakeReadingFont();
