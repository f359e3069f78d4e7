// Loaded beside a Qt program (LD_PRELOAD) by the start-up and memory benchmarks: once the first
// top-level window has been painted, it writes "painted" to the file descriptor named by
// LOMEVA_FIRST_PAINT_FD. With LOMEVA_FIRST_PAINT_CLICK=x,y it first clicks the reader's screen
// at that point of its client area (as a person would, to open a screen from the main menu) and
// writes "painted" after the next paint instead. The program itself is the unchanged executable,
// reading no configuration; without the variables this library does nothing.

#include <QApplication>
#include <QEvent>
#include <QGraphicsView>
#include <QMetaObject>
#include <QTest>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <unistd.h>

namespace {

// The reader's window shows its caption bar above the client area.
constexpr int kBarHeight = 26;

std::optional<QPoint> ClickFromEnvironment() {
    const char* click = std::getenv("LOMEVA_FIRST_PAINT_CLICK");
    int x = 0, y = 0;
    if (click == nullptr || std::sscanf(click, "%d,%d", &x, &y) != 2) {
        return std::nullopt;
    }
    return QPoint(x, y);
}

class CFirstPaintFilter : public QObject {
public:
    CFirstPaintFilter(int fd, std::optional<QPoint> click)
        : QObject(qApp), m_fd(fd), m_click(click) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!m_pending && event->type() == QEvent::Paint) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget != nullptr && widget->isVisible()) {
                // The paint is being delivered now: what follows waits until it and the rest
                // of this update (children, flush to the screen) are done.
                m_pending = true;
                QMetaObject::invokeMethod(
                    this, [this] { Painted(); }, Qt::QueuedConnection);
            }
        }
        return false;
    }

private:
    void Painted() {
        if (m_click) {
            const QPoint at = *m_click;
            m_click.reset();
            m_pending = false; // the next paint is the one to report
            Click(at);         // a screen opened here runs its own loop until it closes
            return;
        }
        Signal();
    }

    static void Click(QPoint at) {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            auto* view = qobject_cast<QGraphicsView*>(window);
            if (view != nullptr && view->isVisible()) {
                const QPoint point = view->mapFromScene(QPointF(at.x(), at.y() + kBarHeight));
                QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, point);
                return;
            }
        }
    }

    void Signal() const {
        static const char kLine[] = "painted\n";
        if (::write(m_fd, kLine, sizeof kLine - 1) < 0) {
            std::_Exit(3); // the benchmark has gone: nobody waits for this program
        }
    }

    int m_fd;
    std::optional<QPoint> m_click;
    bool m_pending = false;
};

void InstallFirstPaintFilter() {
    const char* fd = std::getenv("LOMEVA_FIRST_PAINT_FD");
    if (fd == nullptr || qApp == nullptr) {
        return;
    }
    qApp->installEventFilter(new CFirstPaintFilter(std::atoi(fd), ClickFromEnvironment()));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(InstallFirstPaintFilter)
