#pragma once
// What poemlib check says of the search index beside a library: nothing when there is none or
// it describes the two files and every list of it reads back whole.

#include "tools/poemlib/Cli.h"

#include <string>
#include <vector>

namespace poemlib {

std::vector<std::string> SearchIndexProblems(const LibraryPath& path);

} // namespace poemlib
