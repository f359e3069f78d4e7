// Loaded beside a Qt program (LD_PRELOAD) by the start-up and memory benchmarks: once the first
// top-level window has been painted, it writes "painted" to the file descriptor named by
// LOMEVA_FIRST_PAINT_FD. The program itself is the unchanged executable, reading no
// configuration; without the variable this library does nothing.

#include <QApplication>
#include <QEvent>
#include <QMetaObject>
#include <QWidget>

#include <cstdlib>
#include <unistd.h>

namespace {

class CFirstPaintFilter : public QObject {
public:
    explicit CFirstPaintFilter(int fd) : QObject(qApp), m_fd(fd) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_signalled && event->type() == QEvent::Paint) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget != nullptr && widget->isVisible()) {
                // The paint is being delivered now: the signal follows once it and the rest
                // of this update (children, flush to the screen) are done.
                m_signalled = true;
                QMetaObject::invokeMethod(
                    this, [this] { Signal(); }, Qt::QueuedConnection);
            }
        }
        return false;
    }

private:
    void Signal() const {
        static const char kLine[] = "painted\n";
        if (::write(m_fd, kLine, sizeof kLine - 1) < 0) {
            std::_Exit(3); // the benchmark has gone: nobody waits for this program
        }
    }

    int m_fd;
    bool m_signalled = false;
};

void InstallFirstPaintFilter() {
    const char* fd = std::getenv("LOMEVA_FIRST_PAINT_FD");
    if (fd == nullptr || qApp == nullptr) {
        return;
    }
    qApp->installEventFilter(new CFirstPaintFilter(std::atoi(fd)));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallFirstPaintFilter)
