// The background music in the program folder, as the reader will loop it.

#include "platform/core/ProgramFiles.h"
#include "tests/music/WaveFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numeric>
#include <vector>

namespace {

constexpr int kPieces = static_cast<int>(kBackgroundMusicCount);

std::string piecePath(int n) {
    return std::string(LOMEVA_PROGRAM_DIR) + "/" + BackgroundMusicName(static_cast<unsigned>(n));
}

double percentile(std::vector<double> values, double fraction) {
    const auto k = static_cast<std::size_t>(fraction * static_cast<double>(values.size() - 1));
    std::nth_element(values.begin(), values.begin() + static_cast<std::ptrdiff_t>(k), values.end());
    return values[k];
}

// |s[i+1] - 2 s[i] + s[i-1]| over the inside of the loop: how sharply the music bends.
std::vector<double> bends(const std::vector<std::int16_t>& s) {
    std::vector<double> d;
    for (std::size_t i = 1; i + 1 < s.size(); ++i) {
        d.push_back(std::abs(s[i + 1] - 2 * s[i] + s[i - 1]));
    }
    return d;
}

class MusicFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_pieces = new std::vector<musictest::WaveFile>;
        for (int n = 1; n <= kPieces; ++n) {
            s_pieces->push_back(musictest::readWave(piecePath(n)));
        }
    }
    static void TearDownTestSuite() {
        delete s_pieces;
        s_pieces = nullptr;
    }
    static const musictest::WaveFile& piece(int n) {
        return (*s_pieces)[static_cast<std::size_t>(n - 1)];
    }

private:
    static std::vector<musictest::WaveFile>* s_pieces;
};

std::vector<musictest::WaveFile>* MusicFiles::s_pieces = nullptr;

TEST_F(MusicFiles, EveryPieceIsA22kHz16BitPcmWaveOfTwentyToFortySeconds) {
    for (int n = 1; n <= kPieces; ++n) {
        const auto& w = piece(n);
        ASSERT_TRUE(w.valid) << "sound" << n << ".wav: " << w.problem;
        EXPECT_EQ(w.formatTag, 1) << "sound" << n << " is not PCM";
        EXPECT_EQ(w.sampleRate, 22050) << "sound" << n;
        EXPECT_EQ(w.bitsPerSample, 16) << "sound" << n;
        EXPECT_GE(w.seconds(), 20.0) << "sound" << n;
        EXPECT_LE(w.seconds(), 40.0) << "sound" << n;
    }
}

TEST_F(MusicFiles, EveryPieceIsQuietButAudibleAndCentred) {
    for (int n = 1; n <= kPieces; ++n) {
        const auto& s = piece(n).samples;
        ASSERT_FALSE(s.empty()) << "sound" << n;
        int peak = 0;
        double sum = 0.0;
        double energy = 0.0;
        for (const auto v : s) {
            peak = std::max(peak, std::abs(static_cast<int>(v)));
            sum += v;
            energy += static_cast<double>(v) * v;
        }
        const double rms = std::sqrt(energy / static_cast<double>(s.size()));
        EXPECT_LT(20.0 * std::log10(peak / 32768.0), -6.0) << "sound" << n << " peaks too loud";
        EXPECT_GT(20.0 * std::log10(rms / 32768.0), -45.0) << "sound" << n << " is nearly silent";
        EXPECT_LT(std::fabs(sum / static_cast<double>(s.size())), 8.0)
            << "sound" << n << " has a DC offset";
    }
}

TEST_F(MusicFiles, NoPieceFallsSilentOnTheWay) {
    // Background music that drops out for seconds sounds like a fault: every three seconds
    // hold some sound.
    for (int n = 1; n <= kPieces; ++n) {
        const auto& s = piece(n).samples;
        const std::size_t window = 3 * 22050;
        for (std::size_t from = 0; from + window <= s.size(); from += window) {
            double energy = 0.0;
            for (std::size_t i = from; i < from + window; ++i) {
                energy += static_cast<double>(s[i]) * s[i];
            }
            const double rms = std::sqrt(energy / static_cast<double>(window));
            EXPECT_GT(20.0 * std::log10(rms / 32768.0 + 1e-12), -50.0)
                << "sound" << n << " is silent from " << from / 22050 << " s";
        }
    }
}

TEST_F(MusicFiles, NoTwoPiecesAreAlike) {
    for (int a = 1; a <= kPieces; ++a) {
        for (int b = a + 1; b <= kPieces; ++b) {
            const auto& x = piece(a).samples;
            const auto& y = piece(b).samples;
            const std::size_t n = std::min(x.size(), y.size());
            double xy = 0.0;
            double xx = 0.0;
            double yy = 0.0;
            for (std::size_t i = 0; i < n; ++i) {
                xy += static_cast<double>(x[i]) * y[i];
                xx += static_cast<double>(x[i]) * x[i];
                yy += static_cast<double>(y[i]) * y[i];
            }
            EXPECT_LT(std::fabs(xy) / std::sqrt(xx * yy + 1.0), 0.3)
                << "sound" << a << " and sound" << b << " are nearly the same piece";
        }
    }
}

// Sample i of a loop, counting on past its end into its beginning.
double at(const std::vector<std::int16_t>& s, long i) {
    const long n = static_cast<long>(s.size());
    return s[static_cast<std::size_t>(((i % n) + n) % n)];
}

// Linear prediction (Levinson-Durbin on the autocorrelation) of order `order` fitted to the
// samples [from, to): a smooth continuation predicts the next sample closely, a break does not.
std::vector<double> predictor(const std::vector<std::int16_t>& s, long from, long to, int order) {
    std::vector<double> r(static_cast<std::size_t>(order + 1), 0.0);
    for (int k = 0; k <= order; ++k) {
        for (long i = from + k; i < to; ++i) {
            r[static_cast<std::size_t>(k)] += at(s, i) * at(s, i - k);
        }
    }
    std::vector<double> a(static_cast<std::size_t>(order + 1), 0.0);
    a[0] = 1.0;
    double error = r[0] * (1.0 + 1e-9) + 1e-9;
    for (int i = 1; i <= order; ++i) {
        double acc = r[static_cast<std::size_t>(i)];
        for (int j = 1; j < i; ++j) {
            acc += a[static_cast<std::size_t>(j)] * r[static_cast<std::size_t>(i - j)];
        }
        const double k = -acc / error;
        std::vector<double> next = a;
        for (int j = 1; j < i; ++j) {
            next[static_cast<std::size_t>(j)] =
                a[static_cast<std::size_t>(j)] + k * a[static_cast<std::size_t>(i - j)];
        }
        next[static_cast<std::size_t>(i)] = k;
        a = next;
        error *= 1.0 - k * k;
    }
    return a;
}

double predictionError(const std::vector<std::int16_t>& s, const std::vector<double>& a, long i) {
    double e = at(s, i);
    for (std::size_t k = 1; k < a.size(); ++k) {
        e += a[k] * at(s, i - static_cast<long>(k));
    }
    return std::fabs(e);
}

TEST_F(MusicFiles, EveryPieceLoopsWithoutAClick) {
    // The last sample must lead into the first as any sample leads into the next. Measured
    // against the last 512 samples: the step across the join no steeper, the bend no sharper;
    // and a predictor trained on the music just before the join must foresee its first
    // samples about as well as it foresees the music it was trained on.
    constexpr long kNear = 512;
    constexpr long kTrain = 2048;
    for (int n = 1; n <= kPieces; ++n) {
        const auto& s = piece(n).samples;
        const long end = static_cast<long>(s.size());
        double usualStep = 0.0;
        double usualBend = 0.0;
        for (long i = end - kNear; i < end - 1; ++i) {
            usualStep = std::max(usualStep, std::fabs(at(s, i + 1) - at(s, i)));
            usualBend = std::max(usualBend, std::fabs(at(s, i + 1) - 2 * at(s, i) + at(s, i - 1)));
        }
        EXPECT_LE(std::fabs(at(s, end) - at(s, end - 1)), usualStep + 8.0)
            << "sound" << n << " jumps where it loops";
        EXPECT_LE(std::fabs(at(s, end) - 2 * at(s, end - 1) + at(s, end - 2)), usualBend + 8.0)
            << "sound" << n << " changes slope where it loops";
        EXPECT_LE(std::fabs(at(s, end + 1) - 2 * at(s, end) + at(s, end - 1)), usualBend + 8.0)
            << "sound" << n << " changes slope where it loops";

        const auto a = predictor(s, end - kTrain, end, 16);
        double usualError = 0.0;
        for (long i = end - kTrain; i < end; ++i) {
            usualError = std::max(usualError, predictionError(s, a, i));
        }
        double joinError = 0.0;
        for (long i = end; i < end + 4; ++i) {
            joinError = std::max(joinError, predictionError(s, a, i));
        }
        EXPECT_LE(joinError, 2.0 * usualError + 8.0) << "sound" << n << " breaks where it loops";
    }
}

TEST_F(MusicFiles, NoPieceClicksAnywhere) {
    // A click is a bend far sharper than anything the instruments play.
    for (int n = 1; n <= kPieces; ++n) {
        const auto& s = piece(n).samples;
        const auto b = bends(s);
        const double usual = percentile(b, 0.999);
        const double sharpest = *std::max_element(b.begin(), b.end());
        EXPECT_LE(sharpest, 6.0 * usual + 16.0) << "sound" << n << " has a click";
    }
}

} // namespace
