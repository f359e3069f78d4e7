#pragma once
// The poems of a library as the reference pages need them.

#include "tools/refpages/RefPages.h"

#include <vector>

class CPoemLibrary;

// Appends every poem of an open library, its fields and text decoded; false, with nothing
// appended, when its records cannot be read.
bool CollectPoems(CPoemLibrary& library, std::vector<refpages::Poem>& poems);
