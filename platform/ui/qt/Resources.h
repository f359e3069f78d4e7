#pragma once
// The program's pictures, embedded in the executable: bitmap N and icon N are the resources
// ":/lomeva/bitmap/N" and ":/lomeva/icon/N".

#include "platform/core/WinTypes.h"

#include <QIcon>
#include <QImage>

struct HICON__ {
    UINT id;
    QImage image;
};

// A null image when the program holds no such bitmap.
QImage LoadBitmapResource(UINT id);
// The icon's handle, loaded once and kept for the program's life; null when there is none.
HICON LoadIconResource(UINT id);
QIcon IconFromHandle(HICON icon);
