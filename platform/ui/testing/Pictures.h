#pragma once
// For the tests that set what the framework draws with beside Qt's own choices: the font it
// makes for one of the handheld's faces, and its straight reading of a picture's bytes (what it
// does with the pictures embedded in the program). The program itself never calls these.

#include "platform/core/CString.h"

class QByteArray;
class QFont;
class QImage;

namespace UiTesting {

// The font the framework draws `face` with at `tenths` tenths of a point.
QFont FontFor(const CString& face, int tenths);
// `bytes` read as the framework reads its own pictures; a null image for what it leaves to Qt's
// reader.
QImage PlainPicture(const QByteArray& bytes);

} // namespace UiTesting
