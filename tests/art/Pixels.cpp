#include "Pixels.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>

namespace arttest {

namespace {

double linear(int channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

int channelDifference(QRgb a, QRgb b) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) +
           std::abs(qBlue(a) - qBlue(b));
}

} // namespace

double luminance(QRgb pixel) {
    return 0.2126 * linear(qRed(pixel)) + 0.7152 * linear(qGreen(pixel)) +
           0.0722 * linear(qBlue(pixel));
}

double contrastRatio(double a, double b) {
    const double hi = std::max(a, b);
    const double lo = std::min(a, b);
    return (hi + 0.05) / (lo + 0.05);
}

std::vector<double> luminances(const QImage& image, const QRect& area) {
    std::vector<double> values;
    const QRect r = area.intersected(image.rect());
    values.reserve(static_cast<std::size_t>(r.width() * r.height()));
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            values.push_back(luminance(image.pixel(x, y)));
        }
    }
    return values;
}

double percentile(std::vector<double> values, double fraction) {
    if (values.empty()) {
        return 0.0;
    }
    const auto k = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(k), values.end());
    return values[k];
}

double mean(const std::vector<double>& values) {
    return values.empty() ? 0.0
                          : std::accumulate(values.begin(), values.end(), 0.0) /
                                static_cast<double>(values.size());
}

double meanDifference(const QImage& a, const QImage& b) {
    long total = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            total += channelDifference(a.pixel(x, y), b.pixel(x, y));
        }
    }
    return static_cast<double>(total) / (3.0 * a.width() * a.height());
}

double rowDifference(const QImage& image, int y0, int y1) {
    long total = 0;
    for (int x = 0; x < image.width(); ++x) {
        total += channelDifference(image.pixel(x, y0), image.pixel(x, y1));
    }
    return static_cast<double>(total) / (3.0 * image.width());
}

double columnDifference(const QImage& image, int x0, int x1) {
    long total = 0;
    for (int y = 0; y < image.height(); ++y) {
        total += channelDifference(image.pixel(x0, y), image.pixel(x1, y));
    }
    return static_cast<double>(total) / (3.0 * image.height());
}

} // namespace arttest
