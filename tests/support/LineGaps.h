#pragma once
// The leading of a rendered page, measured on its pixels: the rows that hold ink form the lines
// of text, and the blank rows between two of them the gap. Pages are measured with dark text
// over a light, plain background.

#include <QImage>
#include <QRect>

#include <filesystem>
#include <vector>

namespace testing_support {

struct InkRun {
    int top;    // first row with ink
    int height; // rows with ink, one after another
};

// The runs of rows of `area` that hold a pixel darker than a light background.
std::vector<InkRun> InkRuns(const QImage& image, const QRect& area);

struct LineGaps {
    int lines = 0;       // runs as tall as a line of text
    int lineHeight = 0;  // the tallest of them, in pixels
    int smallestGap = 0; // the smallest gap between two of them that follow each other
    // The smallest share of a gap in the height of the taller of the two lines it parts; 0 when
    // there are fewer than two lines.
    double smallestShare = 0.0;
};

// The lines of text among the runs: runs shorter than half the tallest (a rule, a dot, an
// underline on its own) are left out, and gaps are taken between lines next to each other.
LineGaps MeasureLineGaps(const std::vector<InkRun>& runs);

// Writes the reference page `from` to `to` with its picture and light colours taken out, so that
// its leading can be measured; false when `from` cannot be read.
bool WritePlainPage(const std::filesystem::path& from, const std::filesystem::path& to);

} // namespace testing_support
