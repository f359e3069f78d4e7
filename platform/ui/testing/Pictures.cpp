#include "platform/ui/testing/Pictures.h"

#include "platform/ui/qt/Fonts.h"
#include "platform/ui/qt/PlainBitmap.h"

#include <QByteArray>

#include <cstddef>

namespace UiTesting {

QFont FontFor(const CString& face, int tenths) {
    return MakeFont(face, tenths);
}

QImage PlainPicture(const QByteArray& bytes) {
    return ReadPlainBitmap(reinterpret_cast<const uchar*>(bytes.constData()),
                           static_cast<std::size_t>(bytes.size()));
}

} // namespace UiTesting
