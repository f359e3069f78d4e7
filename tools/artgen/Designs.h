#pragma once

#include "Colour.h"
#include "Tile.h"
#include "TileNoise.h"

#include <QPointF>

#include <cstdint>
#include <initializer_list>
#include <utility>

// The families of background pictures. Each function paints one tile in its own style; the
// numbered list of the 38 pictures in Backgrounds.cpp picks the families and their colours.
namespace artgen {

// A tile is one screen wide and two screens high: a long poem scrolls through a whole
// landscape before it repeats, and both dimensions keep JPEG's 16-pixel blocks whole.
constexpr int kTileWidth = 240;
constexpr int kTileHeight = 640;

// Tile coordinates of a pixel centre, in [0, 1).
inline float tileU(int x) {
    return (static_cast<float>(x) + 0.5f) / kTileWidth;
}
inline float tileV(int y) {
    return (static_cast<float>(y) + 0.5f) / kTileHeight;
}

// A gradient over a loop: the stops are (position in [0, 1), colour) in order, and the last
// blends back into the first, so a gradient down the tile joins its own top.
Rgb loopGradient(std::initializer_list<std::pair<float, Rgb>> stops, float v);

// A quiet ground: a wash that swells towards the glow colour and back, once down the tile,
// brightest at `phase` (0 to 1).
void washGround(Field& field, const TileNoise& noise, Rgb ground, Rgb glow, float phase);

// A full moon with a soft halo of the glow colour.
void addMoon(Field& field, const TileNoise& noise, QPointF at, double radius, Rgb glow, Rgb light);

// --- Landscapes: ink-wash mountains over water -----------------------------------------------
struct MountainStyle {
    std::uint32_t seed = 1;
    Rgb sky;
    Rgb mist;
    Rgb ink;
    Rgb water;
    int layers = 4;
    bool moon = false;
    bool snow = false;
    bool boat = false;
};
Field inkMountains(const MountainStyle& style);

// Mist over a still lake, far hills just showing.
struct MistStyle {
    std::uint32_t seed = 1;
    Rgb deep;
    Rgb mist;
    Rgb hills;
};
Field mistLake(const MistStyle& style);

// --- Water -------------------------------------------------------------------------------------
struct WaterStyle {
    std::uint32_t seed = 1;
    Rgb ground;
    Rgb line;
    Rgb accent;
};
Field wavePattern(const WaterStyle& style);  // rows of crested waves, the old sea motif
Field ripples(const WaterStyle& style);      // dark water, light on the ripples, rain rings
Field flowingWater(const WaterStyle& style); // parallel currents drawn in fine lines
Field moonOnWater(const WaterStyle& style);  // a moon's broken path of light on a dark river

// --- Paper and cloth ---------------------------------------------------------------------------
struct ClothStyle {
    std::uint32_t seed = 1;
    Rgb ground;
    Rgb light;
    Rgb thread;
    // A figure woven tone on tone into plain silk.
    enum class Figure { None, Lozenge, Roundel };
    Figure figure = Figure::None;
};
Field paper(const ClothStyle& style);       // dyed hand-made paper, fibres and water marks
Field silk(const ClothStyle& style);        // woven silk with a soft sheen
Field fretBrocade(const ClothStyle& style); // brocade with a key-fret lattice
Field cloudDamask(const ClothStyle& style); // damask with auspicious clouds

// --- Skies -------------------------------------------------------------------------------------
struct SkyStyle {
    std::uint32_t seed = 1;
    Rgb deep;
    Rgb glow;
    Rgb light;
};
Field starryNight(const SkyStyle& style); // stars and the river of heaven
Field cloudMoon(const SkyStyle& style);   // a moon among drifting clouds
Field fireflies(const SkyStyle& style);   // fireflies over summer grass
Field snowfall(const SkyStyle& style);    // snow falling at dusk
Field rain(const SkyStyle& style);        // rain and far lights

// --- Plants ------------------------------------------------------------------------------------
struct PlantStyle {
    std::uint32_t seed = 1;
    Rgb ground;
    Rgb glow;
    Rgb ink;
    Rgb flower;
    bool moon = false;
};
Field bamboo(const PlantStyle& style);
Field plumBlossom(const PlantStyle& style);
Field pine(const PlantStyle& style);
Field orchid(const PlantStyle& style);
Field lotus(const PlantStyle& style);
Field willow(const PlantStyle& style);
Field maple(const PlantStyle& style);
Field fallingPetals(const PlantStyle& style);

} // namespace artgen
