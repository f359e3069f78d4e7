#include "platform/ui/qt/Fonts.h"

#include "platform/ui/qt/QtText.h"

#include <QFontDatabase>
#include <QHash>
#include <QStringList>

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

QFont MakeFont(const CString& face, int tenths) {
    InstallFontSubstitutions();
    QFont font(InstalledFace(ToQString(face)));
    font.setPixelSize(std::max(1, PointTenthsToPixels(tenths)));
    return font;
}
