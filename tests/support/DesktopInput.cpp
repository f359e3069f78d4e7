#include "tests/support/DesktopInput.h"

#include "platform/ui/testing/ScreenWidgets.h"

#include <QApplication>
#include <QGraphicsView>
#include <QInputMethodEvent>
#include <QTest>

namespace testing_support {
namespace {

constexpr int kBarHeight = 26;

QString ToQString(const CString& text) {
    return QString::fromUtf16(text.GetString(), text.GetLength());
}

QWidget* WindowViewport() {
    auto* view = qobject_cast<QGraphicsView*>(UiTesting::ScreenWindow());
    return view != nullptr ? view->viewport() : nullptr;
}

// Where the desktop sends keys and composed text: the window's focus object.
QObject* InputTarget() {
    QObject* focus = QGuiApplication::focusObject();
    return focus != nullptr ? focus : UiTesting::ScreenWindow();
}

} // namespace

void DesktopClickAt(int x, int y, int zoom) {
    if (QWidget* viewport = WindowViewport()) {
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier,
                          QPoint(x * zoom, (y + kBarHeight) * zoom));
    }
}

void DesktopPressAt(int x, int y, int zoom, bool right) {
    if (QWidget* viewport = WindowViewport()) {
        QTest::mousePress(viewport, right ? Qt::RightButton : Qt::LeftButton, Qt::NoModifier,
                          QPoint(x * zoom, (y + kBarHeight) * zoom));
    }
}

void DesktopReleaseAt(int x, int y, int zoom, bool right) {
    if (QWidget* viewport = WindowViewport()) {
        QTest::mouseRelease(viewport, right ? Qt::RightButton : Qt::LeftButton, Qt::NoModifier,
                            QPoint(x * zoom, (y + kBarHeight) * zoom));
    }
}

bool FocusAcceptsInputMethod() {
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QCoreApplication::sendEvent(InputTarget(), &query);
    return query.value(Qt::ImEnabled).toBool();
}

void DesktopCompose(const CString& preedit, const CString& text) {
    QInputMethodEvent composing(ToQString(preedit), {});
    QCoreApplication::sendEvent(InputTarget(), &composing);
    QInputMethodEvent committed;
    committed.setCommitString(ToQString(text));
    QCoreApplication::sendEvent(InputTarget(), &committed);
}

void DesktopPressEnter() {
    if (auto* widget = qobject_cast<QWidget*>(InputTarget())) {
        QTest::keyClick(widget, Qt::Key_Return);
    }
}

} // namespace testing_support
