#include "tools/includegraph/Cycles.h"

#include <algorithm>
#include <deque>
#include <set>

namespace includegraph {
namespace {

using Group = std::set<std::string>;

// Tarjan's strongly connected components; the graph is a few hundred units, so recursion is fine.
class Components {
public:
    explicit Components(const UnitGraph& graph) : m_graph(graph) {
        for (const auto& [unit, edges] : graph) {
            if (!m_index.contains(unit)) {
                Visit(unit);
            }
        }
    }

    const std::vector<Group>& Groups() const { return m_groups; }

private:
    void Visit(const std::string& unit) {
        const int index = static_cast<int>(m_index.size());
        m_index[unit] = index;
        m_low[unit] = index;
        m_stack.push_back(unit);
        m_onStack.insert(unit);
        for (const auto& [next, site] : m_graph.at(unit)) {
            if (!m_index.contains(next)) {
                Visit(next);
                m_low[unit] = std::min(m_low[unit], m_low[next]);
            } else if (m_onStack.contains(next)) {
                m_low[unit] = std::min(m_low[unit], m_index[next]);
            }
        }
        if (m_low[unit] == index) {
            PopGroup(unit);
        }
    }

    void PopGroup(const std::string& root) {
        Group group;
        std::string unit;
        do {
            unit = m_stack.back();
            m_stack.pop_back();
            m_onStack.erase(unit);
            group.insert(unit);
        } while (unit != root);
        if (group.size() > 1) {
            m_groups.push_back(std::move(group));
        }
    }

    const UnitGraph& m_graph;
    std::map<std::string, int> m_index;
    std::map<std::string, int> m_low;
    std::vector<std::string> m_stack;
    std::set<std::string> m_onStack;
    std::vector<Group> m_groups;
};

// A shortest path start -> ... -> start inside the group, by breadth-first search.
std::vector<std::string> ShortestCycle(const UnitGraph& graph, const Group& group,
                                       const std::string& start) {
    std::map<std::string, std::string> cameFrom;
    std::deque<std::string> queue{start};
    while (!queue.empty()) {
        const std::string unit = queue.front();
        queue.pop_front();
        for (const auto& [next, site] : graph.at(unit)) {
            if (next == start) {
                std::vector<std::string> path{start};
                for (std::string at = unit; at != start; at = cameFrom.at(at)) {
                    path.insert(path.begin() + 1, at);
                }
                path.push_back(start);
                return path;
            }
            if (group.contains(next) && !cameFrom.contains(next)) {
                cameFrom[next] = unit;
                queue.push_back(next);
            }
        }
    }
    return {}; // not reached: every unit of a group reaches every other
}

std::string Describe(const UnitGraph& graph, const Group& group) {
    const std::vector<std::string> path = ShortestCycle(graph, group, *group.begin());
    std::string units;
    std::string sites;
    for (std::size_t i = 0; i < path.size(); ++i) {
        units += (i == 0 ? "" : " -> ") + path[i];
        if (i + 1 < path.size()) {
            sites += (i == 0 ? "" : ", ") + graph.at(path[i]).at(path[i + 1]);
        }
    }
    std::string line = "include cycle: " + units + " (" + sites + ")";
    std::string others;
    for (const std::string& unit : group) {
        if (std::ranges::find(path, unit) == path.end()) {
            others += (others.empty() ? "" : ", ") + unit;
        }
    }
    return others.empty() ? line : line + "; also tied into it: " + others;
}

} // namespace

UnitGraph BuildUnitGraph(const std::vector<SourceFile>& files) {
    UnitGraph graph;
    for (const SourceFile& file : files) {
        const std::string from = UnitOf(file.path);
        auto& edges = graph[from];
        for (const Include& include : file.includes) {
            if (include.resolved.empty() || UnitOf(include.resolved) == from) {
                continue;
            }
            edges.try_emplace(UnitOf(include.resolved),
                              file.path + ":" + std::to_string(include.line));
        }
    }
    return graph;
}

std::size_t CountEdges(const UnitGraph& graph) {
    std::size_t count = 0;
    for (const auto& [unit, edges] : graph) {
        count += edges.size();
    }
    return count;
}

std::vector<std::string> FindCycles(const UnitGraph& graph) {
    std::vector<Group> groups = Components(graph).Groups();
    std::ranges::sort(groups);
    std::vector<std::string> lines;
    for (const Group& group : groups) {
        lines.push_back(Describe(graph, group));
    }
    return lines;
}

} // namespace includegraph
