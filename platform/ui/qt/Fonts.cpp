#include "platform/ui/qt/Fonts.h"

#include "platform/ui/qt/QtText.h"

#include <QStringList>

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

QFont MakeFont(const CString& face, int tenths) {
    InstallFontSubstitutions();
    QFont font(ToQString(face));
    font.setPixelSize(std::max(1, PointTenthsToPixels(tenths)));
    return font;
}
