// The synthesiser's promises: loops that join themselves, and music that stays pentatonic.

#include "tests/music/WaveFile.h"
#include "tools/musicgen/Composer.h"
#include "tools/musicgen/Loop.h"
#include "tools/musicgen/Pieces.h"
#include "tools/musicgen/Reverb.h"
#include "tools/musicgen/Voices.h"
#include "tools/musicgen/Wave.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <set>

namespace {

using namespace musicgen;

float peakOf(const std::vector<float>& s, std::size_t from, std::size_t to) {
    float peak = 0.0f;
    for (std::size_t i = from; i < to; ++i) {
        peak = std::max(peak, std::fabs(s[i]));
    }
    return peak;
}

TEST(Loop, WritesPastItsEndIntoItsBeginning) {
    Loop loop(100);
    loop.add(103, 1.0f);
    loop.add(-2, 0.5f);
    EXPECT_FLOAT_EQ(loop.at(3), 1.0f);
    EXPECT_FLOAT_EQ(loop.at(98), 0.5f);
}

TEST(Voices, ANoteStartedNearTheEndRingsOnAtTheStart) {
    // Half a second of ringing from 1.9 s into a loop of 2 s.
    Loop loop(kSampleRate * 2);
    const PluckVoice voice{0.5f, 0.5f, 0.5f, 0.2f, 0.0f, 0.003f, 0.0f};
    pluck(loop, voice, Note{1.9, 0.0, 60.0, 0.5f});
    EXPECT_GT(peakOf(loop.samples(), 0, kSampleRate / 5), 0.05f);
    // Nothing sounds before the note in the middle of the loop.
    EXPECT_EQ(peakOf(loop.samples(), kSampleRate, kSampleRate + kSampleRate / 2), 0.0f);
}

TEST(Voices, APluckStartsFromSilence) {
    Loop loop(kSampleRate * 4);
    const PluckVoice voice{2.0f, 0.5f, 1.0f, 0.1f, 0.0f, 0.003f, 0.0f};
    pluck(loop, voice, Note{0.5, 0.0, 72.0, 1.0f});
    const long start = kSampleRate / 2;
    EXPECT_LT(std::fabs(loop.at(start)), 1e-6f);
    EXPECT_LT(std::fabs(loop.at(start + 1)), 0.05f) << "an attack this abrupt would click";
}

TEST(Voices, TheDroneRepeatsExactlyOverTheLoop) {
    // A loop length that is not a whole number of the drone's periods.
    Loop loop(static_cast<std::size_t>(kSampleRate * 3 + 17));
    drone(loop, 61.3, {0.5f, 0.25f}, 2, 0.5f);
    const auto& s = loop.samples();
    const std::size_t last = s.size() - 1;
    // Extrapolating the last two samples lands on the first one.
    EXPECT_NEAR(2.0f * s[last] - s[last - 1], s[0], 2e-3f);
    EXPECT_NEAR(2.0f * s[0] - s[last], s[1], 2e-3f);
}

TEST(Reverb, EchoesOfTheEndSoundAtTheStart) {
    std::vector<float> loop(static_cast<std::size_t>(kSampleRate * 4), 0.0f);
    loop[loop.size() - 200] = 1.0f;
    reverberateLoop(loop, ReverbSettings{0.87f, 0.3f, 0.5f});
    EXPECT_GT(peakOf(loop, 0, kSampleRate / 2), 1e-3f) << "the tail must wrap to the start";
    // And it dies away within the loop instead of building up.
    EXPECT_LT(peakOf(loop, 3 * kSampleRate, 3 * kSampleRate + kSampleRate / 2), 1e-4f);
}

TEST(Wave, LevelsToTheLoudnessRemovesTheOffsetAndRespectsThePeakLimit) {
    std::vector<float> sine;
    for (int i = 0; i < 10000; ++i) {
        sine.push_back(0.3f + 0.1f * static_cast<float>(std::sin(i * 0.05)));
    }
    // A sine's RMS is its peak over the square root of two.
    auto pcm = toPcm16(sine, 0.1, 0.5);
    auto [lo, hi] = std::minmax_element(pcm.begin(), pcm.end());
    EXPECT_NEAR(*hi, 0.1 * std::sqrt(2.0) * 32767, 40.0);
    EXPECT_NEAR(*lo, -0.1 * std::sqrt(2.0) * 32767, 40.0);
    // One loud spike in silence: the peak limit wins over the loudness.
    std::vector<float> spike(10000, 0.0f);
    spike[5000] = 1.0f;
    pcm = toPcm16(spike, 0.1, 0.25);
    EXPECT_LE(*std::max_element(pcm.begin(), pcm.end()), static_cast<int>(0.25 * 32767) + 1);
}

TEST(Wave, WritesWhatAWaveReaderReadsBack) {
    // An odd number of samples, and the extremes of the range.
    const std::vector<std::int16_t> samples = {0, 1, -1, 32767, -32768, 1234, -4321};
    const auto path = std::filesystem::temp_directory_path() / "lomeva-wave-test.wav";
    ASSERT_TRUE(writeWave(path.string(), samples, 22050));
    const auto wave = musictest::readWave(path.string());
    std::filesystem::remove(path);
    ASSERT_TRUE(wave.valid) << wave.problem;
    EXPECT_EQ(wave.channels, 1);
    EXPECT_EQ(wave.sampleRate, 22050);
    EXPECT_EQ(wave.samples, samples);
}

TEST(Wave, ReportsAFileItCannotWrite) {
    EXPECT_FALSE(writeWave("/nonexistent-folder/x.wav", {1, 2, 3}, 22050));
}

TEST(Composer, EveryPieceKeepsToItsFiveNotesAndFitsItsLoop) {
    constexpr int kGong[5] = {0, 2, 4, 7, 9};
    for (int n = 1; n <= kPieceCount; ++n) {
        const PiecePlan& plan = piecePlan(n);
        const int gongHome = plan.homeMidi - kGong[plan.modeDegree];
        std::set<int> scale;
        for (const int g : kGong) {
            scale.insert(((gongHome + g) % 12 + 12) % 12);
        }
        const auto events = compose(plan);
        ASSERT_GT(events.size(), 20u) << "piece " << n;
        for (const auto& e : events) {
            const int pitchClass = ((static_cast<int>(std::lround(e.note.midi)) % 12) + 12) % 12;
            EXPECT_TRUE(scale.count(pitchClass)) << "piece " << n << " plays MIDI " << e.note.midi;
            EXPECT_GT(e.note.time, -1.0) << "piece " << n;
            EXPECT_LT(e.note.time, loopSeconds(plan)) << "piece " << n;
        }
    }
}

TEST(Pieces, ReportAFolderTheyCannotWriteInto) {
    EXPECT_FALSE(writePieces("/nonexistent-lomeva-folder").empty());
}

TEST(Pieces, AreTheSameEveryTime) {
    EXPECT_EQ(renderPiece(3), renderPiece(3));
    EXPECT_THROW(renderPiece(0), std::out_of_range);
    EXPECT_THROW(renderPiece(kPieceCount + 1), std::out_of_range);
}

} // namespace
