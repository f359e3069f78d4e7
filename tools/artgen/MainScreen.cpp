#include "MainScreen.h"

#include "Brush.h"
#include "Tile.h"
#include "TileNoise.h"
#include "tools/common/Rng.h"

#include <QDir>
#include <QFile>
#include <QFont>
#include <QFontInfo>
#include <QPainter>
#include <QPainterPath>

#include <cmath>
#include <cstdint>

namespace artgen {

using generators::Rng;

namespace {

// Rice paper, ink and cinnabar: the three materials of the picture.
constexpr Rgb kPaper = hex(0xF4EDDC);
constexpr Rgb kPaperShade = hex(0xE9DEC6);
constexpr Rgb kInk = hex(0x1C1815);
constexpr Rgb kWash = hex(0x8C949A);
constexpr Rgb kSeal = hex(0xB0362C);
constexpr Rgb kTablet = hex(0xEFE5CF);

QFont cjkFont(int pixelSize) {
    QFont font;
    // A brush-written regular script first; Song/Ming and then any CJK face as fallbacks.
    font.setFamilies({QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL UKai TW"),
                      QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Droid Sans Fallback")});
    font.setPixelSize(pixelSize);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QFont latinFont(int pixelSize) {
    QFont font;
    font.setFamilies({QStringLiteral("P052"), QStringLiteral("URW Palladio L"),
                      QStringLiteral("DejaVu Serif"), QStringLiteral("serif")});
    font.setPixelSize(pixelSize);
    font.setItalic(true);
    return font;
}

// A path of characters written top to bottom, each centred on the column's axis.
QPainterPath verticalText(const QString& text, const QFont& font, QPointF top, double step) {
    QPainterPath path;
    const QFontMetricsF metrics(font);
    double y = top.y();
    for (const QChar ch : text) {
        const double w = metrics.horizontalAdvance(ch);
        path.addText(QPointF(top.x() - w / 2.0, y + metrics.ascent()), font, QString(ch));
        y += step;
    }
    return path;
}

QPainterPath centredText(const QString& text, const QFont& font, QPointF centre) {
    QPainterPath path;
    path.addText(QPointF(0, 0), font, text);
    const QRectF box = path.boundingRect();
    path.translate(centre - box.center());
    return path;
}

Mask shapeMask(const QPainterPath& path) {
    return Mask::painted(
        kScreenWidth, kScreenHeight,
        [&](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::black);
            p.drawPath(path);
        },
        Mask::Edges::Clip);
}

void layPaper(Field& field, const TileNoise& noise, Rng& rng) {
    field.fill([&](int x, int y) {
        const float u = static_cast<float>(x) / kScreenWidth;
        const float v = static_cast<float>(y) / kScreenHeight;
        const float mottle = 0.5f + 0.5f * noise.fbm(u, v, 3, 4, 5);
        // Old paper darkens a little towards its edges.
        const float ex = std::min(u, 1.0f - u);
        const float ey = std::min(v, 1.0f - v);
        const float edge = 1.0f - smoothstep(0.0f, 0.08f, std::min(ex, ey));
        return mix(kPaper, kPaperShade, 0.35f * mottle + 0.6f * edge);
    });
    Mask fibres = Mask::painted(
        kScreenWidth, kScreenHeight,
        [&](QPainter& p) {
            p.setBrush(Qt::NoBrush);
            for (int i = 0; i < 260; ++i) {
                const QPointF a(rng.range(0, kScreenWidth), rng.range(0, kScreenHeight));
                const double angle = rng.range(0, 6.283);
                const QPointF b = a + QPointF(std::cos(angle), std::sin(angle)) * rng.range(6, 20);
                QPainterPath path(a);
                path.quadTo((a + b) / 2 + QPointF(rng.range(-4, 4), rng.range(-4, 4)), b);
                p.setPen(QPen(QColor(0, 0, 0, 40 + rng.below(90)), 0.6));
                p.drawPath(path);
            }
        },
        Mask::Edges::Clip);
    field.lay(fibres, kPaperShade * 0.93f, 0.5f);
}

// Faint far mountains behind the title, two ranges deep, dissolving into mist at their feet
// and fading out before the button column.
void layDistantHills(Field& field, const TileNoise& noise) {
    struct Range {
        float base;
        float height;
        float row;
        float strength;
    };
    constexpr Range kRanges[] = {{232.0f, 95.0f, 0.2f, 0.22f}, {240.0f, 55.0f, 0.6f, 0.32f}};
    for (const auto& range : kRanges) {
        field.apply([&](int x, int y, Rgb c) {
            const float fx = static_cast<float>(x);
            const float fy = static_cast<float>(y);
            if (fx > 150.0f || fy > range.base) {
                return c;
            }
            const float u = fx / kScreenWidth;
            const float shape = clamp01(0.5f + 0.9f * noise.fbm(u, range.row, 2, 1, 5));
            const float top = range.base - range.height * std::pow(shape, 1.4f);
            const float inside = smoothstep(top - 0.8f, top + 0.8f, fy);
            const float depth = std::max(0.0f, fy - top);
            const float ink = inside * (0.5f * std::exp(-depth / 3.0f) + std::exp(-depth / 22.0f)) *
                              smoothstep(range.base, range.base - 30.0f, fy) *
                              smoothstep(150.0f, 105.0f, fx);
            return mix(c, kWash, clamp01(ink * range.strength));
        });
    }
}

// Ink on rice paper: a dense core, a pale bleed around it, and dry-brush fibres in it.
// `weight` thickens the strokes by that many pixels, as a fuller brush would.
void layInk(Field& field, const QPainterPath& path, const TileNoise& noise, float dryness,
            float bleed, float weight = 0.0f) {
    Mask core = Mask::painted(
        kScreenWidth, kScreenHeight,
        [&](QPainter& p) {
            p.setPen(weight > 0.0f
                         ? QPen(Qt::black, weight, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin)
                         : QPen(Qt::NoPen));
            p.setBrush(Qt::black);
            p.drawPath(path);
        },
        Mask::Edges::Clip);
    Mask halo = core;
    halo.blur(2);
    field.lay(halo, kWash, bleed);
    dryBrush(core, noise, dryness);
    field.lay(core, kInk, 0.96f);
}

void laySeal(Field& field, const QRectF& box, const QString& text, const TileNoise& noise) {
    QPainterPath block;
    block.addRoundedRect(box, 2.5, 2.5);
    const QPainterPath carved =
        centredText(text, cjkFont(static_cast<int>(box.height() * 0.78)), box.center());
    Mask seal = shapeMask(block.subtracted(carved));
    // Seal paste never prints evenly.
    seal.apply([&](int x, int y, float v) {
        const float n =
            noise.fbm(static_cast<float>(x) / 60.0f, static_cast<float>(y) / 60.0f, 8, 8, 3);
        return clamp01(v * (0.86f + 0.3f * n));
    });
    field.lay(seal, kSeal, 0.95f);
}

void layButton(Field& field, const ButtonFrame& button, const TileNoise& noise) {
    const QRectF outer(QPointF(button.frame.left() + 0.5, button.frame.top() + 0.5),
                       QPointF(button.frame.right() + 0.5, button.frame.bottom() + 0.5));
    const QRectF inner = outer.adjusted(2.5, 2.5, -2.5, -2.5);
    // The tablet: a shade deeper than the paper, so the button reads as a raised slip.
    Mask tablet = Mask::painted(
        kScreenWidth, kScreenHeight,
        [&](QPainter& p) {
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::black);
            p.drawRect(outer);
        },
        Mask::Edges::Clip);
    field.lay(tablet, kTablet, 1.0f);
    Mask lines = Mask::painted(
        kScreenWidth, kScreenHeight,
        [&](QPainter& p) {
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(Qt::black, 1.3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            p.drawRect(outer);
        },
        Mask::Edges::Clip);
    field.lay(lines, kInk, 0.92f);
    Mask redLine = Mask::painted(
        kScreenWidth, kScreenHeight,
        [&](QPainter& p) {
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(Qt::black, 0.9, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
            p.drawRect(inner);
            // Small diamonds on either side of the caption.
            p.setPen(Qt::NoPen);
            p.setBrush(Qt::black);
            for (const double x : {inner.left() + 7.0, inner.right() - 7.0}) {
                const QPointF c(x, inner.center().y());
                QPainterPath d(c + QPointF(0, -2.6));
                d.lineTo(c + QPointF(2.6, 0));
                d.lineTo(c + QPointF(0, 2.6));
                d.lineTo(c + QPointF(-2.6, 0));
                d.closeSubpath();
                p.drawPath(d);
            }
        },
        Mask::Edges::Clip);
    field.lay(redLine, kSeal, 0.85f);
    const QPainterPath caption = centredText(QString::fromUtf8(button.caption), cjkFont(15),
                                             inner.center() + QPointF(0, 0.5));
    layInk(field, caption, noise, 0.05f, 0.15f, 0.45f);
}

// Between the third and fourth buttons: the program's name between two fine rules.
void layNameplate(Field& field, const TileNoise& noise) {
    const QPainterPath name =
        centredText(QStringLiteral("Lomeva"), latinFont(15), QPointF(188, 184));
    Mask rules = Mask::painted(
        kScreenWidth, kScreenHeight,
        [&](QPainter& p) {
            p.setPen(QPen(Qt::black, 0.8));
            p.drawLine(QPointF(160, 174.5), QPointF(216, 174.5));
            p.drawLine(QPointF(160, 193.5), QPointF(216, 193.5));
        },
        Mask::Edges::Clip);
    field.lay(rules, kSeal, 0.7f);
    layInk(field, name, noise, 0.0f, 0.1f);
}

} // namespace

const std::array<ButtonFrame, 4>& mainScreenButtons() {
    static const std::array<ButtonFrame, 4> buttons = {{
        {QRect(QPoint(155, 60), QPoint(221, 84)), "浏览"},
        {QRect(QPoint(155, 101), QPoint(221, 125)), "检索"},
        {QRect(QPoint(155, 141), QPoint(221, 165)), "录入"},
        {QRect(QPoint(155, 203), QPoint(221, 227)), "选项"},
    }};
    return buttons;
}

QRect summaryArea() {
    return {QPoint(40, 2), QPoint(235, 74)};
}
// From the lowest line the menu may draw (a client area as short as 294 rows puts it at 254)
// to the bottom of the picture.
QRect footArea() {
    return {QPoint(0, 246), QPoint(kScreenWidth - 1, kScreenHeight - 1)};
}

QImage renderMainScreen() {
    TileNoise noise(2024u);
    Rng rng(88u);
    Field field(kScreenWidth, kScreenHeight);
    layPaper(field, noise, rng);
    layDistantHills(field, noise);

    // The title, large and written downwards; beside it the four forms it gathers.
    const QFont big = cjkFont(70);
    layInk(field, verticalText(QStringLiteral("诗词"), big, QPointF(92, 84), 76), noise, 0.22f,
           0.35f, 1.6f);
    layInk(field, verticalText(QStringLiteral("唐诗宋词元曲"), cjkFont(16), QPointF(32, 96), 18.5),
           noise, 0.05f, 0.15f, 0.3f);
    laySeal(field, QRectF(22, 212, 20, 20), QStringLiteral("吟"), noise);

    for (const auto& button : mainScreenButtons()) {
        layButton(field, button, noise);
    }
    layNameplate(field, noise);
    return field.toImage();
}

QImage renderIcon(int size) {
    QImage icon(size, size, QImage::Format_ARGB32_Premultiplied);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    const double margin = size * 0.06;
    const QRectF box(margin, margin, size - 2 * margin, size - 2 * margin);
    QPainterPath block;
    block.addRoundedRect(box, size * 0.12, size * 0.12);
    QPainterPath carved;
    const int glyph = static_cast<int>(size * 0.74);
    carved.addText(QPointF(0, 0), cjkFont(glyph), QStringLiteral("诗"));
    carved.translate(box.center() - carved.boundingRect().center());
    p.setPen(Qt::NoPen);
    p.setBrush(QColor::fromRgbF(kSeal.r, kSeal.g, kSeal.b));
    p.drawPath(block.subtracted(carved));
    if (size >= 32) {
        // A fine inner border, as a carved seal has.
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(QColor::fromRgbF(kPaper.r, kPaper.g, kPaper.b), size / 40.0));
        p.drawRoundedRect(box.adjusted(size * 0.06, size * 0.06, -size * 0.06, -size * 0.06),
                          size * 0.07, size * 0.07);
    }
    p.end();
    return icon;
}

QImage renderMainScreenPreview() {
    QImage image = renderMainScreen();
    QPainter p(&image);
    p.setPen(Qt::black);
    QFont summary = cjkFont(11);
    summary.setFamilies({QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC")});
    p.setFont(summary);
    p.drawText(QRect(QPoint(40, 2), QPoint(235, 74)), Qt::AlignRight | Qt::AlignTop,
               QStringLiteral("唐诗三百首 诗词库\n1.0.0 版本  \n蘅塘退士 作者  \n"
                              "2005-03-01 时间  \n310 首诗词"));
    QFont foot = summary;
    foot.setPixelSize(12);
    p.setFont(foot);
    for (const int clientHeight : {294, 320}) {
        p.drawText(QRect(QPoint(0, clientHeight - 40), QPoint(239, clientHeight - 16)),
                   Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Lomeva 诗词阅读"));
        p.drawText(QRect(QPoint(0, clientHeight - 25), QPoint(239, clientHeight - 1)),
                   Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("版权所有"));
    }
    return image;
}

QByteArray alphaBitmap(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_ARGB32);
    constexpr int kFileHeader = 14;
    constexpr int kInfoHeader = 108;
    const int rowBytes = image.width() * 4;
    const int pixels = kFileHeader + kInfoHeader;
    QByteArray bytes(pixels + rowBytes * image.height(), '\0');
    auto put = [&bytes](int at, std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i, value >>= 8) {
            bytes[at + i] = static_cast<char>(value & 0xff);
        }
    };
    bytes[0] = 'B';
    bytes[1] = 'M';
    put(2, static_cast<std::uint32_t>(bytes.size()), 4);
    put(10, pixels, 4);
    const int info = kFileHeader;
    put(info, kInfoHeader, 4);
    put(info + 4, static_cast<std::uint32_t>(image.width()), 4);
    put(info + 8, static_cast<std::uint32_t>(image.height()), 4);
    put(info + 12, 1, 2);  // one plane
    put(info + 14, 32, 2); // bits a pixel
    put(info + 16, 3, 4);  // the channels where the masks say
    put(info + 20, static_cast<std::uint32_t>(rowBytes * image.height()), 4);
    put(info + 24, 3780, 4); // 96 dots per inch, in dots per metre
    put(info + 28, 3780, 4);
    put(info + 40, 0x00ff0000, 4);
    put(info + 44, 0x0000ff00, 4);
    put(info + 48, 0x000000ff, 4);
    put(info + 52, 0xff000000, 4);
    put(info + 56, 0x73524742, 4); // the colours are sRGB
    for (int y = 0; y < image.height(); ++y) {
        // bottom row first
        const auto* row =
            reinterpret_cast<const QRgb*>(image.constScanLine(image.height() - 1 - y));
        for (int x = 0; x < image.width(); ++x) {
            put(pixels + y * rowBytes + x * 4, row[x], 4); // an ARGB32 pixel is 0xAARRGGBB
        }
    }
    return bytes;
}

QString writeMainScreen(const QString& dir) {
    const QDir out(dir);
    // Qt writes 32-bit images as 24-bit Windows bitmaps; RGB32 carries no alpha to lose.
    const QImage screen = renderMainScreen().convertToFormat(QImage::Format_RGB32);
    if (!screen.save(out.filePath(QStringLiteral("mainscreen.bmp")), "BMP")) {
        return QStringLiteral("cannot write %1")
            .arg(out.filePath(QStringLiteral("mainscreen.bmp")));
    }
    const QString iconPath = out.filePath(QStringLiteral("icon.bmp"));
    QFile icon(iconPath);
    const QByteArray iconBytes = alphaBitmap(renderIcon(64));
    if (!icon.open(QIODevice::WriteOnly) || icon.write(iconBytes) != iconBytes.size() ||
        !icon.flush()) {
        return QStringLiteral("cannot write %1").arg(iconPath);
    }
    for (const auto& [size, name] :
         {std::pair{64, "icon.png"}, std::pair{32, "icon32.png"}, std::pair{16, "icon16.png"}}) {
        const QString path = out.filePath(QString::fromLatin1(name));
        if (!renderIcon(size).save(path, "PNG")) {
            return QStringLiteral("cannot write %1").arg(path);
        }
    }
    return {};
}

QString writeThemeIcons(const QString& dir, const QString& name) {
    for (const int size : kThemeIconSizes) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(dir).arg(size);
        const QString path = QStringLiteral("%1/%2.png").arg(folder, name);
        if (!QDir().mkpath(folder) || !renderIcon(size).save(path, "PNG")) {
            return QStringLiteral("cannot write %1").arg(path);
        }
    }
    return {};
}

QString titleFontFamily() {
    return QFontInfo(cjkFont(70)).family();
}

} // namespace artgen
