#pragma once

#include "tools/common/Rng.h"

namespace artgen {
using Rng = generators::Rng;
} // namespace artgen
