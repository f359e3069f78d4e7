#pragma once

#include "platform/core/ProgramFiles.h"

#include <QImage>
#include <QString>

namespace artgen {

// The poem page offers this many background pictures.
constexpr int kBackgroundCount = static_cast<int>(kBackgroundPictureCount);

// Picture `number` (1 to kBackgroundCount), finished: seamless both ways, and dark enough
// under white text. Throws std::out_of_range for any other number.
QImage renderBackground(int number);

// Renders and saves every picture into `dir` (which must exist), in parallel. Returns an
// empty string, or what went wrong.
QString writeBackgrounds(const QString& dir);

} // namespace artgen
