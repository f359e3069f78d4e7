#pragma once

#include <QImage>
#include <QString>

namespace artgen {

// The poem page offers this many background pictures, bgpic1.jpg to bgpic38.jpg.
constexpr int kBackgroundCount = 38;

// Picture `number` (1 to kBackgroundCount), finished: seamless both ways, and dark enough
// under white text. Throws std::out_of_range for any other number.
QImage renderBackground(int number);

// The file name of picture `number` in the program folder.
QString backgroundFileName(int number);

// Renders and saves every picture into `dir` (which must exist), in parallel. Returns an
// empty string, or what went wrong.
QString writeBackgrounds(const QString& dir);

} // namespace artgen
