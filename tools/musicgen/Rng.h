#pragma once

#include "tools/common/Rng.h"

namespace musicgen {
using Rng = generators::Rng;
} // namespace musicgen
