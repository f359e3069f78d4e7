#pragma once
// The layering of the reader's own code, checked include by include.
//
// The program's folders, from the bottom up: platform/core; library; settings; platform/ui (the
// only place Qt is included); resources; and the screen folders app, browse, reading, entry and
// options. A folder includes its own files and the folders below it, never one above. In detail:
//   platform/core   platform/core
//   library         library, platform/core
//   settings        settings, library, platform/core
//   platform/ui     platform/ui, platform/core
//   resources       resources, platform/ui, platform/core
//   a screen folder its own files, every folder above but the screens, and another screen
//                   folder's screens only
// A screen folder's screens are the headers that declare a class derived from CDialog or
// CPropertySheet: that class is what another screen opens (the catalogue opens the poem view, the
// main menu opens the options sheet). Everything else in a screen folder (property pages, the
// HTML viewer, tables, helpers, and every source file) is its internals, used by its own screens.
// A quoted include that names no file of the tree is reported too: the graph would miss it.
// tools, tests, bench and fuzz lie outside the layering: they may include anything, Qt too (their
// cycles are still found, see Cycles.h).
// One rule holds for every file of the tree, inside the layering or beside it: platform/ui/qt/,
// the framework's Qt side, is included from platform/ui/ only. Screens see the framework through
// its headers, tests through platform/ui/testing/.

#include "tools/includegraph/SourceTree.h"

#include <filesystem>
#include <string>
#include <vector>

namespace includegraph {

// One line per include that breaks the layering, as "path:line: what is wrong", in file order.
std::vector<std::string> CheckLayers(const std::vector<SourceFile>& files,
                                     const std::filesystem::path& root);

} // namespace includegraph
