#pragma once
// A progress bar on standard error for long imports, drawn only when it is a terminal: the
// library's name, a bar, the count and the rate.

#include <chrono>
#include <cstddef>
#include <string>

namespace poemlib {

class Progress {
public:
    Progress(std::string name, std::size_t total);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void Advance();
    // Draws the final state and ends the line; later calls do nothing.
    void Finish();

private:
    void Draw();

    std::string m_name;
    std::size_t m_total;
    std::size_t m_done = 0;
    bool m_shown;
    std::chrono::steady_clock::time_point m_start;
    std::chrono::steady_clock::time_point m_lastDraw;
};

} // namespace poemlib
