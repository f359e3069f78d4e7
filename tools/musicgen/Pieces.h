#pragma once

#include "Composer.h"
#include "platform/core/ProgramFiles.h"

#include <cstdint>
#include <string>
#include <vector>

namespace musicgen {

// The reader offers this many pieces of background music.
constexpr int kPieceCount = static_cast<int>(kBackgroundMusicCount);

// Every piece is quiet enough to read by: about -28 dB of full scale on average, and no
// peak above -10 dB.
constexpr double kLoudness = 0.04;
constexpr double kPeakLimit = 0.316;

const PiecePlan& piecePlan(int number);

// Piece `number` (1 to kPieceCount) as one seamless loop of samples at full precision,
// starting just before its first bar at a moment when no note begins, so that the join
// falls among ringing strings. Throws std::out_of_range for any other number.
std::vector<float> renderPiece(int number);

// Writes every piece, named as the reader looks for it, into `dir` (which must exist), in parallel.
// Returns an empty string, or what went wrong.
std::string writePieces(const std::string& dir);

} // namespace musicgen
