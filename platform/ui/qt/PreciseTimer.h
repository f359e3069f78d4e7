#pragma once
// A repeating timer that keeps its period to well under a millisecond. Qt's own timers wait in
// the event loop's poll, whose timeout is whole milliseconds, so a 20 ms tick may come a
// millisecond late and the next one early; here the kernel's timer makes a descriptor readable
// on the period's schedule and the loop wakes for it at once. Ticks that come while the program
// is busy are one tick, as a window's timer messages are.

#include <QObject>

#include <functional>
#include <memory>

class QSocketNotifier;
class QTimer;

class CPreciseTimer {
public:
    explicit CPreciseTimer(std::function<void()> tick);
    ~CPreciseTimer();
    CPreciseTimer(const CPreciseTimer&) = delete;
    CPreciseTimer& operator=(const CPreciseTimer&) = delete;

    // Starts, or starts again, ticking every `milliseconds` (at least one).
    void Start(unsigned milliseconds);
    void Stop();
    bool IsActive() const { return m_active; }

private:
    void OnReadable();

    std::function<void()> m_tick;
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
    std::unique_ptr<QTimer> m_fallback; // when the kernel gives no timer descriptor
    bool m_active = false;
};
