#include "Backgrounds.h"

#include "Designs.h"
#include "Tone.h"
#include "tools/common/Parallel.h"

#include <QDir>

#include <algorithm>
#include <functional>
#include <stdexcept>
#include <vector>

namespace artgen {

namespace {

using Design = std::function<Field()>;

MountainStyle mountains(std::uint32_t seed, std::uint32_t sky, std::uint32_t mist,
                        std::uint32_t ink, std::uint32_t water) {
    MountainStyle s;
    s.seed = seed;
    s.sky = hex(sky);
    s.mist = hex(mist);
    s.ink = hex(ink);
    s.water = hex(water);
    return s;
}

PlantStyle plant(std::uint32_t seed, std::uint32_t ground, std::uint32_t glow, std::uint32_t ink,
                 std::uint32_t flower, bool moon = false) {
    return {seed, hex(ground), hex(glow), hex(ink), hex(flower), moon};
}

ClothStyle cloth(std::uint32_t seed, std::uint32_t ground, std::uint32_t light,
                 std::uint32_t thread, ClothStyle::Figure figure = ClothStyle::Figure::None) {
    return {seed, hex(ground), hex(light), hex(thread), figure};
}

SkyStyle sky(std::uint32_t seed, std::uint32_t deep, std::uint32_t glow, std::uint32_t light) {
    return {seed, hex(deep), hex(glow), hex(light)};
}

WaterStyle water(std::uint32_t seed, std::uint32_t ground, std::uint32_t line,
                 std::uint32_t accent) {
    return {seed, hex(ground), hex(line), hex(accent)};
}

MistStyle mist(std::uint32_t seed, std::uint32_t deep, std::uint32_t haze, std::uint32_t hills) {
    return {seed, hex(deep), hex(haze), hex(hills)};
}

template <class Style> Design with(Field (*design)(const Style&), Style style) {
    return [design, style] { return design(style); };
}

MountainStyle withMoon(MountainStyle s) {
    s.moon = true;
    return s;
}
MountainStyle withSnow(MountainStyle s) {
    s.snow = true;
    s.layers = 3;
    return s;
}
MountainStyle withBoat(MountainStyle s) {
    s.boat = true;
    return s;
}

// The numbered pictures. The order is the one users know from the options page; number 27
// is the default background, so it carries the house style: plum blossom under the moon.
const std::vector<Design>& designs() {
    static const std::vector<Design> list = {
        /* 1 */ with(inkMountains, mountains(101, 0x262D36, 0x5A6470, 0x10151B, 0x2E3842)),
        /* 2 */ with(paper, cloth(102, 0x2A2826, 0x3A3733, 0x8A8378)),
        /* 3 */ with(bamboo, plant(103, 0x1E2A23, 0x46594C, 0x0B120E, 0x9DB09F)),
        /* 4 */ with(starryNight, sky(104, 0x0B1020, 0x2A3554, 0xE8E6DA)),
        /* 5 */ with(wavePattern, water(105, 0x17233B, 0x4D6283, 0x9A8450)),
        /* 6 */ with(plumBlossom, plant(106, 0x201B1C, 0x40383A, 0x0C0909, 0xB2474E)),
        /* 7 */ with(mistLake, mist(107, 0x263039, 0x66717C, 0x3A4550)),
        /* 8 */ with(silk, cloth(108, 0x4A1518, 0x7A3530, 0xB07A5A, ClothStyle::Figure::Lozenge)),
        /* 9 */ with(willow, plant(109, 0x223126, 0x4F6A4F, 0x15211A, 0xB48A92)),
        /* 10 */ with(inkMountains, mountains(110, 0x33291F, 0x6A5A48, 0x1A130D, 0x3A3026)),
        /* 11 */ with(moonOnWater, water(111, 0x0E1624, 0x4A5A75, 0xD9D3B8)),
        /* 12 */ with(fretBrocade, cloth(112, 0x331A2A, 0x553246, 0xA08A5C)),
        /* 13 */ with(lotus, plant(113, 0x12292A, 0x2E4F4C, 0x1E3B2E, 0xC08A94)),
        /* 14 */ with(cloudMoon, sky(114, 0x111827, 0x3A4A66, 0xE4DFC8)),
        /* 15 */ with(bamboo, plant(115, 0x1C1C1C, 0x3E3E3C, 0x050505, 0x9A9A96)),
        /* 16 */ with(flowingWater, water(116, 0x112628, 0x4F7B78, 0x1F3F40)),
        /* 17 */ with(maple, plant(117, 0x2A1712, 0x4F2F22, 0x3A1A10, 0xB5502E)),
        /* 18 */ with(paper, cloth(118, 0x3A2A1A, 0x54402A, 0xA08660)),
        /* 19 */ with(inkMountains, mountains(119, 0x1E3432, 0x4E6A66, 0x0D1A19, 0x24403C)),
        /* 20 */ with(snowfall, sky(120, 0x1A2230, 0x3E4C62, 0xE6ECF2)),
        /* 21 */ with(pine, plant(121, 0x1C2026, 0x4A4A4E, 0x0A0D0C, 0x2E4A36, true)),
        /* 22 */ with(cloudDamask, cloth(122, 0x142040, 0x2A3A66, 0xA89058)),
        /* 23 */ with(ripples, water(123, 0x0F1D2A, 0x3F6078, 0x6F8FA6)),
        /* 24 */ with(orchid, plant(124, 0x262A1C, 0x4C5236, 0x0E120A, 0xB8B08A)),
        /* 25 */ with(fallingPetals, plant(125, 0x2E1E26, 0x553C48, 0x140C10, 0xC48E9E)),
        /* 26 */
        with(inkMountains, withMoon(mountains(126, 0x141B2E, 0x485472, 0x080C16, 0x1B2438))),
        /* 27 */ with(plumBlossom, plant(127, 0x161C2A, 0x3C4660, 0x07080C, 0xD9B6BC, true)),
        /* 28 */ with(silk, cloth(128, 0x14302A, 0x2E5246, 0x88A890, ClothStyle::Figure::Roundel)),
        /* 29 */ with(rain, sky(129, 0x121A22, 0x8A5A2A, 0xB8C4CE)),
        /* 30 */ with(bamboo, plant(130, 0x121A2A, 0x34405A, 0x05080E, 0xBDBBAC, true)),
        /* 31 */
        with(inkMountains, withSnow(mountains(131, 0x1E2630, 0x56606C, 0x0C1014, 0x26303A))),
        /* 32 */ with(wavePattern, water(132, 0x10302E, 0x3F6E66, 0x9C8A58)),
        /* 33 */ with(fireflies, sky(133, 0x0A1412, 0x22382E, 0xD8E89A)),
        /* 34 */ with(paper, cloth(134, 0x18223A, 0x26365A, 0x7E8CA8)),
        /* 35 */ with(mistLake, mist(135, 0x2A2434, 0x6E6478, 0x3E3648)),
        /* 36 */ with(cloudDamask, cloth(136, 0x3A1016, 0x5E2228, 0xB8945E)),
        /* 37 */
        with(inkMountains, withBoat(mountains(137, 0x2A3038, 0x68707A, 0x121619, 0x343C46))),
        /* 38 */ with(plumBlossom, plant(138, 0x1A2236, 0x36425E, 0x0A0D16, 0x969CAC)),
    };
    return list;
}

} // namespace

QImage renderBackground(int number) {
    const auto& list = designs();
    if (number < 1 || number > static_cast<int>(list.size())) {
        throw std::out_of_range("no background picture with that number");
    }
    Field field = list[static_cast<std::size_t>(number - 1)]();
    addGrain(field, 9000u + static_cast<std::uint32_t>(number), 0.006f);
    keepTextReadable(field);
    return field.toImage();
}

QString writeBackgrounds(const QString& dir) {
    if (!QDir(dir).exists()) {
        return QStringLiteral("no folder %1").arg(dir);
    }
    return generators::MakeNumberedInParallel<QString>(kBackgroundCount, [&](int n) {
        const QString path = QDir(dir).filePath(
            QString::fromStdString(BackgroundPictureName(static_cast<unsigned>(n))));
        if (!renderBackground(n).save(path, "JPG", 92)) {
            return QStringLiteral("cannot write %1").arg(path);
        }
        return QString();
    });
}

} // namespace artgen
