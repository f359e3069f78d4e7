#include "tools/includegraph/SourceTree.h"

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

namespace includegraph {
namespace fs = std::filesystem;

namespace {

bool IsSource(const fs::path& file) {
    return file.extension() == ".h" || file.extension() == ".cpp";
}

bool IsSkippedFolder(const fs::path& folder, bool atTop) {
    const std::string name = folder.filename().string();
    return name.starts_with('.') || name == "fixtures" || (atTop && name.starts_with("build"));
}

std::vector<std::string> ListSources(const fs::path& root) {
    std::vector<std::string> paths;
    for (auto it = fs::recursive_directory_iterator(root); it != fs::recursive_directory_iterator();
         ++it) {
        if (it->is_directory() && IsSkippedFolder(it->path(), it.depth() == 0)) {
            it.disable_recursion_pending();
        } else if (it->is_regular_file() && IsSource(it->path())) {
            paths.push_back(it->path().lexically_relative(root).generic_string());
        }
    }
    std::sort(paths.begin(), paths.end());
    return paths;
}

// `#include <name>` or `#include "name"` on one line, with any spaces the preprocessor allows.
bool ParseInclude(const std::string& text, Include& include) {
    std::size_t at = text.find_first_not_of(" \t");
    if (at == std::string::npos || text[at] != '#') {
        return false;
    }
    at = text.find_first_not_of(" \t", at + 1);
    if (at == std::string::npos || text.compare(at, 7, "include") != 0) {
        return false;
    }
    at = text.find_first_not_of(" \t", at + 7);
    if (at == std::string::npos || (text[at] != '<' && text[at] != '"')) {
        return false;
    }
    const char close = text[at] == '<' ? '>' : '"';
    const std::size_t end = text.find(close, at + 1);
    if (end == std::string::npos) {
        return false;
    }
    include.angled = close == '>';
    include.written = text.substr(at + 1, end - at - 1);
    return true;
}

std::vector<Include> ParseIncludes(const std::string& text) {
    std::vector<Include> includes;
    std::istringstream lines(text);
    std::string line;
    for (int number = 1; std::getline(lines, line); ++number) {
        Include include;
        if (ParseInclude(line, include)) {
            include.line = number;
            includes.push_back(std::move(include));
        }
    }
    return includes;
}

std::string Resolve(const std::string& from, const Include& include,
                    const std::set<std::string>& known) {
    if (include.angled) {
        return {};
    }
    const fs::path beside = fs::path(from).parent_path() / include.written;
    for (const fs::path& candidate : {beside, fs::path(include.written)}) {
        const std::string path = candidate.lexically_normal().generic_string();
        if (known.contains(path)) {
            return path;
        }
    }
    return {};
}

} // namespace

std::string ReadText(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

std::string UnitOf(const std::string& path) {
    return fs::path(path).replace_extension().generic_string();
}

std::vector<SourceFile> ReadTree(const fs::path& root) {
    const std::vector<std::string> paths = ListSources(root);
    const std::set<std::string> known(paths.begin(), paths.end());
    std::vector<SourceFile> files;
    for (const std::string& path : paths) {
        SourceFile file{path, ParseIncludes(ReadText(root / path))};
        for (Include& include : file.includes) {
            include.resolved = Resolve(path, include, known);
        }
        files.push_back(std::move(file));
    }
    return files;
}

} // namespace includegraph
