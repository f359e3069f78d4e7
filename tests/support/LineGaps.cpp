#include "tests/support/LineGaps.h"

#include <QRegularExpression>
#include <QString>

#include <algorithm>
#include <climits>
#include <fstream>
#include <sstream>

namespace testing_support {

namespace {

bool IsInk(QRgb pixel) {
    // Text is dark; the page white or a light paper colour. Antialiased edges of a glyph count
    // from half way.
    return qGray(pixel) < 160;
}

bool RowHasInk(const QImage& image, int y, const QRect& area) {
    for (int x = area.left(); x <= area.right(); ++x) {
        if (IsInk(image.pixel(x, y))) {
            return true;
        }
    }
    return false;
}

} // namespace

std::vector<InkRun> InkRuns(const QImage& image, const QRect& area) {
    const QRect inside = area.intersected(image.rect());
    std::vector<InkRun> runs;
    bool inRun = false;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        const bool ink = RowHasInk(image, y, inside);
        if (ink && !inRun) {
            runs.push_back({y, 0});
        }
        if (ink) {
            ++runs.back().height;
        }
        inRun = ink;
    }
    return runs;
}

LineGaps MeasureLineGaps(const std::vector<InkRun>& runs) {
    LineGaps gaps;
    for (const InkRun& run : runs) {
        gaps.lineHeight = std::max(gaps.lineHeight, run.height);
    }
    int smallest = INT_MAX;
    double share = 1e9;
    const InkRun* previous = nullptr;
    for (const InkRun& run : runs) {
        if (run.height * 2 < gaps.lineHeight) {
            continue;
        }
        ++gaps.lines;
        if (previous != nullptr) {
            const int gap = run.top - (previous->top + previous->height);
            smallest = std::min(smallest, gap);
            share =
                std::min(share, static_cast<double>(gap) / std::max(run.height, previous->height));
        }
        previous = &run;
    }
    gaps.smallestGap = smallest == INT_MAX ? 0 : smallest;
    gaps.smallestShare = gaps.lines < 2 ? 0.0 : share;
    return gaps;
}

bool WritePlainPage(const std::filesystem::path& from, const std::filesystem::path& to) {
    std::ifstream in(from);
    if (!in.good()) {
        return false;
    }
    std::stringstream html;
    html << in.rdbuf();
    QString page = QString::fromStdString(html.str());
    page.replace(QRegularExpression(QStringLiteral("<body[^>]*>")), QStringLiteral("<body>"));
    page.replace(QRegularExpression(QStringLiteral("color=\"#[0-9A-Fa-f]{6}\"")),
                 QStringLiteral("color=\"#000000\""));
    std::ofstream(to) << page.toStdString();
    return true;
}

} // namespace testing_support
