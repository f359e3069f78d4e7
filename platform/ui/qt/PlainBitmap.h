#pragma once
// The program's own pictures are Windows bitmaps without compression, read here straight from
// their bytes: Qt's reader goes through a device a row at a time, and before it reads anything
// it looks through every image format plugin installed, which costs the start-up more than the
// picture itself. Two kinds are read:
//  - 24 bits a pixel (BI_RGB), as Qt writes them: the main screen's picture, into RGB32;
//  - 32 bits a pixel with an alpha mask (BI_BITFIELDS, a header of 108 bytes or more, the masks
//    0x00ff0000, 0x0000ff00, 0x000000ff and 0xff000000): the icon, into ARGB32.
// Either into the format and the pixels Qt's own reader gives for the same bytes.

#include <QImage>

#include <cstddef>

// A null image for any other picture, or for bytes that do not hold the whole picture.
QImage ReadPlainBitmap(const uchar* bytes, std::size_t size);
