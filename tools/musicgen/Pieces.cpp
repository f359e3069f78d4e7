#include "Pieces.h"

#include "Reverb.h"
#include "Wave.h"
#include "tools/common/Parallel.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <stdexcept>

namespace musicgen {

namespace {

// Silk-strung qin: mellow, long, with the sliding left hand.
constexpr PluckVoice kGuqin{4.5f, 0.9f, 0.25f, 0.13f, 0.00008f, 0.006f, 0.0f};
// Qin harmonics: the finger only touches the string, leaving a pure bell-like tone.
constexpr PluckVoice kGuqinHarmonic{3.5f, 4.0f, 0.0f, 0.5f, 0.0f, 0.004f, 0.0f};
// Zheng: bright, ringing, each course a pair of strings a few cents apart.
constexpr PluckVoice kGuzheng{3.2f, 0.6f, 0.6f, 0.18f, 0.0001f, 0.003f, 4.0f};
// Pipa: a plectrum near the bridge, short and crisp.
constexpr PluckVoice kPipa{1.3f, 0.9f, 0.72f, 0.1f, 0.00012f, 0.002f, 0.0f};
constexpr BowVoice kErhu{0.1f, 0.2f, 0.55f, 5.4f, 900.0f};

using I = Instrument;
using B = Backing;

// seed, home, mode, tempo, beats, bars, lead, harmonics, backing, drone, reverb
const std::array<PiecePlan, kPieceCount> kPieces = {{
    {1, 55, 0, 56, 4, 8, I::Guqin, true, B::Bass, true, 0.35f},
    {2, 67, 1, 72, 4, 8, I::Guzheng, false, B::Arpeggio, false, 0.3f},
    {3, 62, 4, 60, 4, 8, I::Erhu, false, B::Arpeggio, true, 0.3f},
    {4, 64, 3, 66, 4, 8, I::Pipa, false, B::ArpeggioAndBass, false, 0.25f},
    {5, 53, 0, 60, 3, 12, I::Guqin, true, B::Bass, true, 0.4f},
    {6, 64, 4, 63, 4, 8, I::Guzheng, false, B::ArpeggioAndBass, false, 0.3f},
    {7, 60, 1, 50, 4, 8, I::Erhu, false, B::None, true, 0.35f},
    {8, 57, 3, 58, 4, 8, I::Guqin, false, B::Bass, true, 0.35f},
    {9, 65, 0, 76, 3, 12, I::Pipa, false, B::Arpeggio, false, 0.25f},
    {10, 62, 4, 50, 4, 8, I::Guzheng, false, B::Bass, true, 0.4f},
    {11, 58, 0, 56, 3, 12, I::Guqin, true, B::None, true, 0.4f},
    {12, 62, 3, 64, 4, 8, I::Erhu, false, B::Bass, false, 0.3f},
}};

void play(Loop& loop, const Event& event) {
    switch (event.instrument) {
    case I::Guqin:
        pluck(loop, kGuqin, event.note);
        break;
    case I::GuqinHarmonic:
        pluck(loop, kGuqinHarmonic, event.note);
        break;
    case I::Guzheng:
        pluck(loop, kGuzheng, event.note);
        break;
    case I::Pipa:
        pluck(loop, kPipa, event.note);
        break;
    case I::Erhu:
        bow(loop, kErhu, event.note);
        break;
    }
}

// A soft open fifth under the music, low but not below the speaker's reach.
void addDrone(Loop& loop, const PiecePlan& plan) {
    double hz = midiToHz(plan.homeMidi - 24);
    while (hz < 60.0) {
        hz *= 2.0;
    }
    drone(loop, hz, {0.05f, 0.025f, 0.012f, 0.006f}, 2, 0.5f);
    drone(loop, hz * 1.5, {0.025f, 0.01f}, 3, 0.6f);
}

// The moment in the second before the first bar that lies farthest from any note's start.
double quietestJoin(const std::vector<Event>& events, double loop) {
    double best = 0.0;
    double bestGap = -1.0;
    for (double t = 0.0; t >= -1.0; t -= 0.005) {
        double gap = loop;
        for (const Event& e : events) {
            const double d = std::fabs(std::remainder(e.note.time - t, loop));
            gap = std::min(gap, d);
        }
        if (gap > bestGap + 1e-9) {
            bestGap = gap;
            best = t;
        }
    }
    return best;
}

} // namespace

const PiecePlan& piecePlan(int number) {
    if (number < 1 || number > kPieceCount) {
        throw std::out_of_range("no piece with that number");
    }
    return kPieces[static_cast<std::size_t>(number - 1)];
}

std::vector<float> renderPiece(int number) {
    const PiecePlan& plan = piecePlan(number);
    Loop loop(static_cast<std::size_t>(std::lround(loopSeconds(plan) * kSampleRate)));
    const auto events = compose(plan);
    for (const Event& event : events) {
        play(loop, event);
    }
    if (plan.drone) {
        addDrone(loop, plan);
    }
    reverberateLoop(loop.samples(), ReverbSettings{0.87f, 0.3f, plan.reverb});
    auto& samples = loop.samples();
    const long n = static_cast<long>(samples.size());
    const long start =
        (std::lround(quietestJoin(events, loopSeconds(plan)) * kSampleRate) % n + n) % n;
    std::rotate(samples.begin(), samples.begin() + start, samples.end());
    return std::move(samples);
}

std::string writePieces(const std::string& dir) {
    if (!std::filesystem::is_directory(dir)) {
        return "no folder " + dir;
    }
    return generators::MakeNumberedInParallel<std::string>(kPieceCount, [&](int n) {
        const std::string path = dir + "/" + BackgroundMusicName(static_cast<unsigned>(n));
        if (!writeWave(path, toPcm16(renderPiece(n), kLoudness, kPeakLimit), kSampleRate)) {
            return "cannot write " + path;
        }
        return std::string();
    });
}

} // namespace musicgen
