#pragma once

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QString>

#include <array>

// The main screen picture and the program's icon. Both draw text, so they need a
// QGuiApplication (the offscreen platform is enough) for the font database.
namespace artgen {

constexpr int kScreenWidth = 240;
constexpr int kScreenHeight = 320;

// One framed button of the main screen. The main menu taps at fixed client points, so each
// frame is placed to enclose the tap zone of its function with a margin.
struct ButtonFrame {
    QRect frame; // outer edge of the frame, inclusive corners
    const char* caption;
};
const std::array<ButtonFrame, 4>& mainScreenButtons();

// Where the menu draws black text over the picture: the library summary at the top right and
// the two fixed lines at the foot. The picture keeps both light.
QRect summaryArea();
QRect footArea();

QImage renderMainScreen();
// The seal-like icon, square, with a transparent margin.
QImage renderIcon(int size);
// The main screen with sample summary and foot text drawn in, to judge readability.
QImage renderMainScreenPreview();

// `picture` as a Windows bitmap of 32 bits a pixel that keeps its alpha (a 108-byte header whose
// masks place alpha in the top byte, rows from the bottom up), which the reader reads straight
// from its bytes.
QByteArray alphaBitmap(const QImage& picture);

// Writes mainscreen.bmp (24 bits per pixel), icon.bmp (the icon of 64 pixels, 32 bits per pixel
// with alpha, for the reader's window), icon.png, icon16.png and icon32.png into `dir`.
// Returns an empty string, or what went wrong.
QString writeMainScreen(const QString& dir);

// The sizes of the icon in the desktop's icon theme, in pixels.
inline constexpr int kThemeIconSizes[] = {16, 22, 24, 32, 48, 64, 128, 256, 512};

// Writes the icon at every theme size as `dir`/NxN/apps/`name`.png, the layout of the hicolor
// icon theme. Returns an empty string, or what went wrong.
QString writeThemeIcons(const QString& dir, const QString& name);

// The CJK face the artwork was drawn with, for the generator's report.
QString titleFontFamily();

} // namespace artgen
