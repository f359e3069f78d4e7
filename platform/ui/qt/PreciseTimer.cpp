#include "platform/ui/qt/PreciseTimer.h"

#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <sys/timerfd.h>
#include <unistd.h>

namespace {

itimerspec Every(unsigned milliseconds) {
    const timespec period{static_cast<time_t>(milliseconds / 1000),
                          static_cast<long>(milliseconds % 1000) * 1000000L};
    return itimerspec{period, period};
}

} // namespace

CPreciseTimer::CPreciseTimer(std::function<void()> tick)
    : m_tick(std::move(tick)), m_fd(::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC)) {
    if (m_fd >= 0) {
        m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
        m_notifier->setEnabled(false);
        QObject::connect(m_notifier.get(), &QSocketNotifier::activated, m_notifier.get(),
                         [this] { OnReadable(); });
    } else {
        m_fallback = std::make_unique<QTimer>();
        m_fallback->setTimerType(Qt::PreciseTimer);
        QObject::connect(m_fallback.get(), &QTimer::timeout, m_fallback.get(),
                         [this] { m_tick(); });
    }
}

CPreciseTimer::~CPreciseTimer() {
    m_notifier.reset();
    if (m_fd >= 0) {
        ::close(m_fd);
    }
}

void CPreciseTimer::Start(unsigned milliseconds) {
    milliseconds = std::max(milliseconds, 1u);
    m_active = true;
    if (m_fallback) {
        m_fallback->start(static_cast<int>(milliseconds));
        return;
    }
    const itimerspec schedule = Every(milliseconds);
    ::timerfd_settime(m_fd, 0, &schedule, nullptr); // also forgets ticks not yet delivered
    m_notifier->setEnabled(true);
}

void CPreciseTimer::Stop() {
    m_active = false;
    if (m_fallback) {
        m_fallback->stop();
        return;
    }
    const itimerspec disarmed{};
    ::timerfd_settime(m_fd, 0, &disarmed, nullptr);
    m_notifier->setEnabled(false);
}

void CPreciseTimer::OnReadable() {
    std::uint64_t expirations = 0;
    if (::read(m_fd, &expirations, sizeof expirations) != sizeof expirations || !m_active) {
        return; // stopped, or started again, since the descriptor became readable
    }
    m_tick();
}
