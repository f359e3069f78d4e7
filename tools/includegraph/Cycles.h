#pragma once
// Include cycles between units, a unit being a header and its source file taken as one: a cycle
// means that no unit of it can be understood, built or tested without all the others.

#include "tools/includegraph/SourceTree.h"

#include <map>
#include <string>
#include <vector>

namespace includegraph {

// From each unit, the units it includes, each with the first include that makes the edge
// ("path:line"). Includes within a unit (a source including its own header) are no edges.
using UnitGraph = std::map<std::string, std::map<std::string, std::string>>;

UnitGraph BuildUnitGraph(const std::vector<SourceFile>& files);

std::size_t CountEdges(const UnitGraph& graph);

// One line per group of units tied by cycles, naming a shortest cycle through the group's first
// unit as a path of units, the includes that make it, and the group's other units if any.
std::vector<std::string> FindCycles(const UnitGraph& graph);

} // namespace includegraph
