#pragma once
// The C++ files of a source tree and what each includes. Paths are relative to the tree's root,
// with '/' between folders, as the code writes them in its own #include lines.

#include <filesystem>
#include <string>
#include <vector>

namespace includegraph {

struct Include {
    int line = 0;
    bool angled = false;  // <...> rather than "..."
    std::string written;  // the name between the brackets or quotes
    std::string resolved; // the file of the tree it names; empty for a system or unknown header
};

struct SourceFile {
    std::string path;
    std::vector<Include> includes;
};

// Every .h and .cpp below `root`, sorted by path, with its includes resolved the way the compiler
// does for quotes here: beside the including file first, then from the root. Hidden folders, the
// build trees at the top (build, build-asan, ...) and test fixture trees (folders named
// "fixtures", which are trees of their own) are skipped.
std::vector<SourceFile> ReadTree(const std::filesystem::path& root);

// The file's unit: its path without the extension, so that a header and its source are one.
std::string UnitOf(const std::string& path);

// The file's text, or an empty string if it cannot be read.
std::string ReadText(const std::filesystem::path& file);

} // namespace includegraph
