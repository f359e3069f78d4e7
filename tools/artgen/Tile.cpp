#include "Tile.h"

#include <QPainter>
#include <QPicture>

#include <cmath>

namespace artgen {

namespace {

int wrapIndex(int i, int n) {
    const int m = i % n;
    return m < 0 ? m + n : m;
}

// One box pass along a ring of n values spaced `stride` apart, with a running sum.
void boxRing(float* data, int n, std::size_t stride, int radius, std::vector<float>& scratch) {
    scratch.resize(static_cast<std::size_t>(n));
    const float scale = 1.0f / static_cast<float>(2 * radius + 1);
    float sum = 0.0f;
    for (int k = -radius; k <= radius; ++k) {
        sum += data[static_cast<std::size_t>(wrapIndex(k, n)) * stride];
    }
    for (int i = 0; i < n; ++i) {
        scratch[static_cast<std::size_t>(i)] = sum * scale;
        sum += data[static_cast<std::size_t>(wrapIndex(i + radius + 1, n)) * stride] -
               data[static_cast<std::size_t>(wrapIndex(i - radius, n)) * stride];
    }
    for (int i = 0; i < n; ++i) {
        data[static_cast<std::size_t>(i) * stride] = scratch[static_cast<std::size_t>(i)];
    }
}

} // namespace

void paintWrapped(QImage& image, const std::function<void(QPainter&)>& draw) {
    // The drawing runs once, into a recording, and the recording is replayed at each offset:
    // a drawing that throws dice must show the same scene in all nine places.
    QPicture recording;
    {
        QPainter recorder(&recording);
        recorder.setRenderHint(QPainter::Antialiasing);
        draw(recorder);
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    const int w = image.width();
    const int h = image.height();
    for (int dy = -1; dy <= 1; ++dy) {
        for (int dx = -1; dx <= 1; ++dx) {
            painter.drawPicture(dx * w, dy * h, recording);
        }
    }
}

Mask::Mask(int width, int height, float value)
    : m_width(width), m_height(height),
      m_values(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), value) {}

Mask Mask::painted(int width, int height, const std::function<void(QPainter&)>& draw, Edges edges) {
    QImage canvas(width, height, QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    if (edges == Edges::Wrap) {
        paintWrapped(canvas, draw);
    } else {
        QPainter painter(&canvas);
        painter.setRenderHint(QPainter::Antialiasing);
        draw(painter);
    }
    Mask mask(width, height);
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(canvas.constScanLine(y));
        for (int x = 0; x < width; ++x) {
            mask.at(x, y) = static_cast<float>(qAlpha(line[x])) / 255.0f;
        }
    }
    return mask;
}

void Mask::blur(int radius) {
    if (radius <= 0) {
        return;
    }
    std::vector<float> scratch;
    const auto w = static_cast<std::size_t>(m_width);
    for (int pass = 0; pass < 3; ++pass) {
        for (int y = 0; y < m_height; ++y) {
            boxRing(&m_values[static_cast<std::size_t>(y) * w], m_width, 1, radius, scratch);
        }
        for (int x = 0; x < m_width; ++x) {
            boxRing(&m_values[static_cast<std::size_t>(x)], m_height, w, radius, scratch);
        }
    }
}

void Mask::apply(const std::function<float(int, int, float)>& f) {
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            at(x, y) = f(x, y, at(x, y));
        }
    }
}

Field::Field(int width, int height, Rgb fill)
    : m_width(width), m_height(height),
      m_pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

void Field::fill(const std::function<Rgb(int, int)>& colourAt) {
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            at(x, y) = colourAt(x, y);
        }
    }
}

void Field::apply(const std::function<Rgb(int, int, Rgb)>& f) {
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            at(x, y) = f(x, y, at(x, y));
        }
    }
}

void Field::lay(const Mask& mask, Rgb colour, float opacity) {
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            const float a = clamp01(mask.at(x, y) * opacity);
            if (a > 0.0f) {
                at(x, y) = mix(at(x, y), colour, a);
            }
        }
    }
}

void Field::lay(const Mask& mask, const std::function<Rgb(int, int)>& colourAt, float opacity) {
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            const float a = clamp01(mask.at(x, y) * opacity);
            if (a > 0.0f) {
                at(x, y) = mix(at(x, y), colourAt(x, y), a);
            }
        }
    }
}

void Field::glow(const Mask& mask, Rgb light, float strength) {
    for (int y = 0; y < m_height; ++y) {
        for (int x = 0; x < m_width; ++x) {
            const float a = clamp01(mask.at(x, y) * strength);
            if (a > 0.0f) {
                at(x, y) = screen(at(x, y), light * a);
            }
        }
    }
}

QImage Field::toImage() const {
    QImage image(m_width, m_height, QImage::Format_RGB32);
    for (int y = 0; y < m_height; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < m_width; ++x) {
            const Rgb c = clamp01(at(x, y));
            line[x] = qRgb(static_cast<int>(std::lround(c.r * 255.0f)),
                           static_cast<int>(std::lround(c.g * 255.0f)),
                           static_cast<int>(std::lround(c.b * 255.0f)));
        }
    }
    return image;
}

} // namespace artgen
