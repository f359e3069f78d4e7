#include "tools/includegraph/Layers.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <map>
#include <regex>
#include <string_view>

namespace includegraph {
namespace {

struct Layer {
    std::string_view folder;
    bool screen;
    std::vector<std::string_view> mayInclude; // besides itself; screens also reach other screens
};

const std::array<Layer, 10> kLayers{{
    {"platform/core", false, {}},
    {"library", false, {"platform/core"}},
    {"settings", false, {"library", "platform/core"}},
    {"platform/ui", false, {"platform/core"}},
    {"resources", false, {"platform/ui", "platform/core"}},
    {"app", true, {"library", "settings", "resources", "platform/ui", "platform/core"}},
    {"browse", true, {"library", "settings", "resources", "platform/ui", "platform/core"}},
    {"reading", true, {"library", "settings", "resources", "platform/ui", "platform/core"}},
    {"entry", true, {"library", "settings", "resources", "platform/ui", "platform/core"}},
    {"options", true, {"library", "settings", "resources", "platform/ui", "platform/core"}},
}};

bool IsIn(const std::string& path, std::string_view folder) {
    return path.size() > folder.size() && path.starts_with(folder) && path[folder.size()] == '/';
}

const Layer* LayerOf(const std::string& path) {
    for (const Layer& layer : kLayers) {
        if (IsIn(path, layer.folder)) {
            return &layer;
        }
    }
    return nullptr;
}

bool IsQt(const Include& include) {
    const std::string& name = include.written;
    return include.angled && name.size() > 1 && name[0] == 'Q' &&
           (std::isupper(static_cast<unsigned char>(name[1])) || name.starts_with("Qt"));
}

std::string Folders(const Layer& layer) {
    std::string list = std::string(layer.folder) + "/";
    for (std::size_t i = 0; i < layer.mayInclude.size(); ++i) {
        list += i + 1 == layer.mayInclude.size() ? " and " : ", ";
        list += std::string(layer.mayInclude[i]) + "/";
    }
    return list;
}

// Whether the header declares a screen: a class derived from CDialog or CPropertySheet.
class ScreenHeaders {
public:
    explicit ScreenHeaders(std::filesystem::path root) : m_root(std::move(root)) {}

    bool IsScreen(const std::string& path) {
        if (!path.ends_with(".h")) {
            return false;
        }
        auto [it, fresh] = m_known.try_emplace(path, false);
        if (fresh) {
            static const std::regex screenClass(
                R"(class\s+\w+\s*(final\s*)?:\s*public\s+(CDialog|CPropertySheet)\b)");
            it->second = std::regex_search(ReadText(m_root / path), screenClass);
        }
        return it->second;
    }

private:
    std::filesystem::path m_root;
    std::map<std::string, bool> m_known;
};

constexpr std::string_view kQtSide = "platform/ui/qt";

// What is wrong with an include of a file anywhere in the tree, or an empty string.
std::string CheckEverywhere(const std::string& path, const Include& include) {
    if (include.angled || !IsIn(include.resolved, kQtSide) || IsIn(path, "platform/ui")) {
        return {};
    }
    return include.resolved +
           " is the framework's Qt side, which only platform/ui/ includes (tests see the "
           "framework through platform/ui/testing/)";
}

// What is wrong with one include of a file in `layer`, or an empty string.
std::string Check(const Layer& layer, const Include& include, ScreenHeaders& screens) {
    if (IsQt(include)) {
        return layer.folder == "platform/ui"
                   ? std::string()
                   : "<" + include.written + "> is Qt, which only platform/ui/ includes";
    }
    if (include.angled) {
        return {};
    }
    if (include.resolved.empty()) {
        return "\"" + include.written + "\" is not in the tree";
    }
    const std::string& target = include.resolved;
    const Layer* targetLayer = LayerOf(target);
    if (targetLayer == &layer) {
        return {};
    }
    if (targetLayer != nullptr && layer.screen && targetLayer->screen) {
        return screens.IsScreen(target)
                   ? std::string()
                   : target + " belongs inside " + std::string(targetLayer->folder) +
                         "/: another screen folder is entered only through its screens' "
                         "headers (a class derived from CDialog or CPropertySheet)";
    }
    const bool allowed =
        targetLayer != nullptr &&
        std::ranges::find(layer.mayInclude, targetLayer->folder) != layer.mayInclude.end();
    return allowed ? std::string()
                   : std::string(layer.folder) + "/ must not include " + target + " (it sees " +
                         Folders(layer) + " only)";
}

} // namespace

std::vector<std::string> CheckLayers(const std::vector<SourceFile>& files,
                                     const std::filesystem::path& root) {
    ScreenHeaders screens(root);
    std::vector<std::string> violations;
    for (const SourceFile& file : files) {
        const Layer* layer = LayerOf(file.path);
        for (const Include& include : file.includes) {
            std::string problem = CheckEverywhere(file.path, include);
            if (problem.empty() && layer != nullptr) {
                problem = Check(*layer, include, screens);
            }
            if (!problem.empty()) {
                violations.push_back(file.path + ":" + std::to_string(include.line) + ": " +
                                     problem);
            }
        }
    }
    return violations;
}

} // namespace includegraph
