#pragma once

#include "Colour.h"

#include <QImage>

#include <functional>
#include <vector>

class QPainter;

namespace artgen {

// Draws with QPainter onto a tile as if the tile were a torus: the drawing is repeated at the
// eight neighbouring offsets, so a stroke that leaves one edge comes back in at the other.
void paintWrapped(QImage& image, const std::function<void(QPainter&)>& draw);

// A coverage or density map (ink, mist, light) over a tile.
class Mask {
public:
    Mask(int width, int height, float value = 0.0f);

    // Renders the drawing (antialiased, any colour: only coverage counts) and keeps its
    // coverage. Tiles wrap the drawing around their edges; a single picture does not.
    enum class Edges { Wrap, Clip };
    static Mask painted(int width, int height, const std::function<void(QPainter&)>& draw,
                        Edges edges = Edges::Wrap);

    int width() const { return m_width; }
    int height() const { return m_height; }
    float& at(int x, int y) { return m_values[index(x, y)]; }
    float at(int x, int y) const { return m_values[index(x, y)]; }

    // Three wrapped box passes: close to a Gaussian of the given radius, and cheap.
    void blur(int radius);
    void apply(const std::function<float(int x, int y, float v)>& f);

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) +
               static_cast<std::size_t>(x);
    }

    int m_width;
    int m_height;
    std::vector<float> m_values;
};

// The colour tile of one picture.
class Field {
public:
    Field(int width, int height, Rgb fill = {});

    int width() const { return m_width; }
    int height() const { return m_height; }
    Rgb& at(int x, int y) { return m_pixels[index(x, y)]; }
    Rgb at(int x, int y) const { return m_pixels[index(x, y)]; }

    void fill(const std::function<Rgb(int x, int y)>& colourAt);
    void apply(const std::function<Rgb(int x, int y, Rgb c)>& f);

    // Lays a colour over the tile where the mask says, as a wash of paint would.
    void lay(const Mask& mask, Rgb colour, float opacity = 1.0f);
    void lay(const Mask& mask, const std::function<Rgb(int x, int y)>& colourAt,
             float opacity = 1.0f);
    // Adds light where the mask says (screen blend), for moons, stars and glows.
    void glow(const Mask& mask, Rgb light, float strength = 1.0f);

    QImage toImage() const;

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(m_width) +
               static_cast<std::size_t>(x);
    }

    int m_width;
    int m_height;
    std::vector<Rgb> m_pixels;
};

} // namespace artgen
