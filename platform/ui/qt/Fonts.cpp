#include "platform/ui/qt/Fonts.h"

#include "platform/ui/qt/QtText.h"

#include <QFontDatabase>
#include <QHash>
#include <QStringList>

#include <algorithm>
#include <iterator>

namespace {

// `face` when it is installed, else the first installed face of those that stand in for it, else
// `face` itself: the face Qt would draw it with. Asked for by that face's own name, a font is found
// at once; asked for by "宋体", each of its sizes and scripts would first fail to match and then
// have fontconfig sort every installed font as fallbacks, a millisecond or more each at start-up.
QString InstalledFace(const QString& face) {
    static QHash<QString, QString> chosen;
    if (const auto known = chosen.constFind(face); known != chosen.constEnd()) {
        return *known;
    }
    const QStringList families = QFontDatabase::families();
    QString installed = face;
    if (!families.contains(face, Qt::CaseInsensitive)) {
        for (const QString& standIn : QFont::substitutes(face)) {
            if (families.contains(standIn, Qt::CaseInsensitive)) {
                installed = standIn;
                break;
            }
        }
    }
    chosen.insert(face, installed);
    return installed;
}

// The faces that carry bitmaps of their own, drawn by hand for a few small sizes, and those sizes
// in pixels. At 11 and 12 pixels UMing's smoothed outlines blur into grey, where its bitmaps are
// as the handheld drew its text, black and sharp; they hold every character of GB2312 but three
// (those are drawn from their outlines), and need no hinting: a tenth of the start-up went on
// hinting the outlines of the main screen's texts.
struct BitmapSizes {
    QStringView face;
    int smallest;
    int largest;
};
constexpr BitmapSizes kBitmapFaces[] = {{u"AR PL UMing CN", 11, 16}};

int g_screenZoom = 1;

bool HasBitmapsAt(const QString& face, int pixels) {
    return std::any_of(std::begin(kBitmapFaces), std::end(kBitmapFaces), [&](const auto& sizes) {
        return face.compare(sizes.face, Qt::CaseInsensitive) == 0 && pixels >= sizes.smallest &&
               pixels <= sizes.largest;
    });
}

} // namespace

void InstallFontSubstitutions() {
    static bool installed = false;
    if (installed) {
        return;
    }
    installed = true;
    QStringList faces;
    faces << QStringLiteral("AR PL UMing CN") << QStringLiteral("Noto Serif CJK SC")
          << QStringLiteral("Noto Sans CJK SC");
    QFont::insertSubstitutions(QString::fromUtf16(u"宋体"), faces);
}

int PointTenthsToPixels(int tenths) {
    constexpr int kDotsPerInch = 96;
    constexpr int kTenthsPerInch = 720;
    return (tenths * kDotsPerInch + kTenthsPerInch / 2) / kTenthsPerInch;
}

QFont MakeReadingFont() {
    // Noto Serif CJK SC reads best of the Song faces Debian packages (docs/screenshots/faces-*):
    // drawn for simplified characters, with every character of the code page, its strokes stay
    // firm over the background pictures at 12 pixels, where UMing's hairlines fade into them.
    // Its lines are taller than an em, which the pages allow and the dialogs do not.
    QFont font;
    font.setFamilies({QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN"),
                      QStringLiteral("Noto Sans CJK SC")});
    font.setPixelSize(PointTenthsToPixels(90));
    return font;
}

void SetScreenZoom(int zoom) {
    g_screenZoom = zoom;
}

bool DrawsFaceBitmaps(const QFont& font) {
    return (font.styleStrategy() & QFont::NoAntialias) != 0;
}

QFont MakeFont(const CString& face, int tenths) {
    InstallFontSubstitutions();
    const QString installed = InstalledFace(ToQString(face));
    const int pixels = std::max(1, PointTenthsToPixels(tenths));
    QFont font(installed);
    font.setPixelSize(pixels);
    // Qt draws a face's own bitmaps only for text it does not smooth. Scaled up, the outlines
    // draw the glyphs, smoothed.
    if (g_screenZoom == 1 && HasBitmapsAt(installed, pixels)) {
        font.setStyleStrategy(QFont::NoAntialias);
    }
    return font;
}
