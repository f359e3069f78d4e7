#include "tools/poemlib/Progress.h"

#include <cstdio>
#include <unistd.h>

namespace poemlib {
namespace {

constexpr int kBarWidth = 30;
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);

// 254248 as 254,248.
std::string Grouped(std::size_t number) {
    std::string digits = std::to_string(number);
    for (int at = static_cast<int>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), ",");
    }
    return digits;
}

} // namespace

Progress::Progress(std::string name, std::size_t total)
    : m_name(std::move(name)), m_total(total), m_shown(isatty(STDERR_FILENO) == 1),
      m_start(std::chrono::steady_clock::now()), m_lastDraw(m_start) {}

Progress::~Progress() {
    Finish();
}

void Progress::Advance() {
    ++m_done;
    const auto now = std::chrono::steady_clock::now();
    if (m_shown && now - m_lastDraw >= kRedrawEvery) {
        m_lastDraw = now;
        Draw();
    }
}

void Progress::Finish() {
    if (m_shown) {
        Draw();
        std::fputc('\n', stderr);
        m_shown = false;
    }
}

void Progress::Draw() {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - m_start).count();
    const std::size_t filled = m_total == 0 ? kBarWidth : m_done * kBarWidth / m_total;
    const std::string bar = std::string(filled, '#') + std::string(kBarWidth - filled, '-');
    const auto rate = static_cast<std::size_t>(seconds > 0 ? m_done / seconds : 0);
    std::fprintf(stderr, "\r%s [%s] %s / %s poems, %s a second ", m_name.c_str(), bar.c_str(),
                 Grouped(m_done).c_str(), Grouped(m_total).c_str(), Grouped(rate).c_str());
    std::fflush(stderr);
}

} // namespace poemlib
