#pragma once

#include <QImage>
#include <QRect>

#include <vector>

// Measurements on pictures, written from the readability rules rather than taken from the
// generator, so that the tests check the pictures against the rules and not against
// themselves.
namespace arttest {

// Relative luminance of an sRGB pixel, 0 (black) to 1 (white).
double luminance(QRgb pixel);

// Contrast ratio between two relative luminances, 1 to 21.
double contrastRatio(double a, double b);

// The luminances of the pixels in a rectangle of the picture.
std::vector<double> luminances(const QImage& image, const QRect& area);

// The value below which `fraction` of the values lie.
double percentile(std::vector<double> values, double fraction);

double mean(const std::vector<double>& values);

// Mean absolute difference, per channel on the 0-255 scale, between two rows (or columns)
// of a picture.
// Mean absolute difference, per channel on the 0-255 scale, between two pictures of one size.
double meanDifference(const QImage& a, const QImage& b);

double rowDifference(const QImage& image, int y0, int y1);
double columnDifference(const QImage& image, int x0, int x1);

} // namespace arttest
