#include "platform/ui/qt/PlainBitmap.h"

#include <cstdint>

namespace {

constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kInfoHeader = 40;
constexpr std::size_t kHeaderWithMasks = 108;
constexpr std::uint32_t kUncompressed = 0;
constexpr std::uint32_t kBitFields = 3;
constexpr std::int32_t kLargest = 0x4000;

std::uint32_t Little(const uchar* bytes, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) {
        value = value << 8 | bytes[i];
    }
    return value;
}

// Where a 32-bit bitmap's red, green, blue and alpha lie in its pixel, as ARGB32 lays them out.
bool HasArgbMasks(const uchar* info) {
    return Little(info + 40, 4) == 0x00ff0000 && Little(info + 44, 4) == 0x0000ff00 &&
           Little(info + 48, 4) == 0x000000ff && Little(info + 52, 4) == 0xff000000;
}

void CopyRgbRow(const uchar* from, QRgb* to, int width) {
    for (int x = 0; x < width; ++x, from += 3) {
        to[x] = qRgb(from[2], from[1], from[0]);
    }
}

void CopyArgbRow(const uchar* from, QRgb* to, int width) {
    for (int x = 0; x < width; ++x, from += 4) {
        to[x] = qRgba(from[2], from[1], from[0], from[3]);
    }
}

} // namespace

QImage ReadPlainBitmap(const uchar* bytes, std::size_t size) {
    if (bytes == nullptr || size < kFileHeader + kInfoHeader || bytes[0] != 'B' ||
        bytes[1] != 'M') {
        return {};
    }
    const uchar* info = bytes + kFileHeader;
    const std::size_t infoSize = Little(info, 4);
    const std::uint32_t bits = Little(info + 14, 2);
    const std::uint32_t compression = Little(info + 16, 4);
    const bool rgb = infoSize >= kInfoHeader && bits == 24 && compression == kUncompressed;
    const bool argb = infoSize >= kHeaderWithMasks && size >= kFileHeader + kHeaderWithMasks &&
                      bits == 32 && compression == kBitFields && HasArgbMasks(info);
    if (!rgb && !argb) {
        return {};
    }
    const auto width = static_cast<std::int32_t>(Little(info + 4, 4));
    const auto height = static_cast<std::int32_t>(Little(info + 8, 4));
    if (width <= 0 || width > kLargest || height == 0 || height < -kLargest || height > kLargest) {
        return {};
    }
    const int rows = height < 0 ? -height : height;
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * bits / 8 + 3) & ~std::size_t{3};
    const std::size_t pixels = Little(bytes + 10, 4);
    if (pixels < kFileHeader + infoSize || pixels > size ||
        rowBytes * static_cast<std::size_t>(rows) > size - pixels) {
        return {};
    }
    QImage image(width, rows, rgb ? QImage::Format_RGB32 : QImage::Format_ARGB32);
    for (int y = 0; y < rows; ++y) {
        // Rows run from the bottom up unless the height is negative.
        const uchar* from =
            bytes + pixels + rowBytes * static_cast<std::size_t>(height < 0 ? y : rows - 1 - y);
        auto* to = reinterpret_cast<QRgb*>(image.scanLine(y));
        if (rgb) {
            CopyRgbRow(from, to, width);
        } else {
            CopyArgbRow(from, to, width);
        }
    }
    return image;
}
