// artgen: draws the program folder's background pictures and the main screen picture.
//
//   artgen backgrounds OUTDIR   the numbered background pictures (platform/core/ProgramFiles.h)
//   artgen mainscreen OUTDIR    mainscreen.bmp, icon.bmp, icon.png, icon16.png, icon32.png
//   artgen icons OUTDIR         the icon at every size of the desktop's icon theme,
//                               OUTDIR/NxN/apps/lomeva.png
//   artgen preview OUTDIR       PNG previews with sample text, for looking at the artwork

#include "Backgrounds.h"
#include "MainScreen.h"

#include <QDir>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>

#include <cstdio>
#include <cstring>
#include <memory>

namespace {

int usage() {
    std::fputs("usage: artgen backgrounds|mainscreen|icons|preview OUTDIR\n", stderr);
    return 2;
}

int fail(const QString& message) {
    std::fprintf(stderr, "artgen: %s\n", message.toLocal8Bit().constData());
    return 1;
}

// Text needs the font database, which needs a GUI application; no window is ever shown, so
// the offscreen platform serves on any machine, with or without a display.
std::unique_ptr<QGuiApplication> fontApplication(int& argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return std::make_unique<QGuiApplication>(argc, argv);
}

// The picture is still drawn without a Chinese font, but its title would show as empty boxes.
void warnWithoutChineseFont() {
    if (QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty()) {
        std::fputs("artgen: warning: no Chinese font is installed; install fonts-arphic-ukai "
                   "(or fonts-arphic-uming) for the main screen's title and captions\n",
                   stderr);
    }
}

// A poem over the picture in white, the page's default colour for every line.
QImage withPoem(QImage background) {
    QPainter p(&background);
    p.setPen(Qt::white);
    QFont font;
    font.setFamilies({QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC")});
    font.setPixelSize(18);
    font.setBold(true);
    p.setFont(font);
    p.drawText(QRect(0, 12, 240, 30), Qt::AlignHCenter, QStringLiteral("静夜思"));
    font.setBold(false);
    font.setPixelSize(13);
    p.setFont(font);
    p.drawText(QRect(0, 40, 232, 20), Qt::AlignRight, QStringLiteral("唐 李白"));
    font.setPixelSize(16);
    p.setFont(font);
    p.drawText(QRect(12, 76, 220, 240), Qt::AlignLeft | Qt::TextWordWrap,
               QStringLiteral("床前明月光，疑是地上霜。举头望明月，低头思故乡。"
                              "春眠不觉晓，处处闻啼鸟。夜来风雨声，花落知多少。"));
    return background;
}

// One picture for looking at a background: on the left the first screen of it under a poem in
// the page's default white, on the right the tile repeated two by one and a half, so that any
// seam shows.
QImage previewSheet(int number) {
    const QImage tile = artgen::renderBackground(number);
    QImage repeated(tile.width() * 2, tile.height() + 320, QImage::Format_RGB32);
    QPainter tiles(&repeated);
    for (int y = 0; y < repeated.height(); y += tile.height()) {
        for (int x = 0; x < repeated.width(); x += tile.width()) {
            tiles.drawImage(x, y, tile);
        }
    }
    tiles.end();
    QImage sheet(repeated.width() + 250, repeated.height(), QImage::Format_RGB32);
    sheet.fill(Qt::gray);
    QPainter p(&sheet);
    p.drawImage(0, 0, withPoem(repeated.copy(0, 0, 240, 320)));
    p.drawImage(250, 0, repeated);
    return sheet;
}

int writePreviews(const QString& dir) {
    const QDir out(dir);
    const QString screen = out.filePath(QStringLiteral("preview-mainscreen.png"));
    if (!artgen::renderMainScreenPreview().save(screen)) {
        return fail(QStringLiteral("cannot write %1").arg(screen));
    }
    for (int n = 1; n <= artgen::kBackgroundCount; ++n) {
        const QString path = out.filePath(QStringLiteral("preview-bgpic%1.png").arg(n));
        if (!previewSheet(n).save(path)) {
            return fail(QStringLiteral("cannot write %1").arg(path));
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        return usage();
    }
    const char* command = argv[1];
    const bool known = std::strcmp(command, "backgrounds") == 0 ||
                       std::strcmp(command, "mainscreen") == 0 ||
                       std::strcmp(command, "icons") == 0 || std::strcmp(command, "preview") == 0;
    if (!known) {
        return usage();
    }
    const QString dir = QString::fromLocal8Bit(argv[2]);
    if (!QDir().mkpath(dir)) {
        return fail(QStringLiteral("cannot create %1").arg(dir));
    }
    if (std::strcmp(command, "backgrounds") == 0) {
        const QString error = artgen::writeBackgrounds(dir);
        return error.isEmpty() ? 0 : fail(error);
    }
    const auto app = fontApplication(argc, argv);
    warnWithoutChineseFont();
    if (std::strcmp(command, "mainscreen") == 0) {
        const QString error = artgen::writeMainScreen(dir);
        return error.isEmpty() ? 0 : fail(error);
    }
    if (std::strcmp(command, "icons") == 0) {
        const QString error = artgen::writeThemeIcons(dir, QStringLiteral("lomeva"));
        return error.isEmpty() ? 0 : fail(error);
    }
    std::printf("title font: %s\n", artgen::titleFontFamily().toUtf8().constData());
    return writePreviews(dir);
}
