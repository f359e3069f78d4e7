// lomeva_includegraph SOURCE_ROOT: checks the include graph of the tree. Prints one line for each
// include that breaks the layering (see Layers.h) and for each include cycle between units (see
// Cycles.h), and exits with 1 if there is any; otherwise prints the size of the graph and exits
// with 0. Exits with 2 if the tree cannot be read.

#include "tools/includegraph/Cycles.h"
#include "tools/includegraph/Layers.h"
#include "tools/includegraph/SourceTree.h"

#include <filesystem>
#include <iostream>

namespace {

int CheckTree(const std::filesystem::path& root) {
    using namespace includegraph;
    const std::vector<SourceFile> files = ReadTree(root);
    const UnitGraph graph = BuildUnitGraph(files);
    std::vector<std::string> violations = CheckLayers(files, root);
    for (std::string& cycle : FindCycles(graph)) {
        violations.push_back(std::move(cycle));
    }
    for (const std::string& violation : violations) {
        std::cout << violation << '\n';
    }
    if (!violations.empty()) {
        return 1;
    }
    std::cout << "Include graph clean: " << graph.size() << " units, " << CountEdges(graph)
              << " edges between them.\n";
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "Usage: lomeva_includegraph SOURCE_ROOT\n";
        return 2;
    }
    const std::filesystem::path root(argv[1]);
    std::error_code error;
    if (!std::filesystem::is_directory(root, error)) {
        std::cerr << "lomeva_includegraph: " << root.string() << " is not a folder.\n";
        return 2;
    }
    try {
        return CheckTree(root);
    } catch (const std::filesystem::filesystem_error& failure) {
        std::cerr << "lomeva_includegraph: cannot read the tree: " << failure.what() << '\n';
        return 2;
    }
}
