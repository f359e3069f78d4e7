#include "platform/ui/qt/ScreenInput.h"

#include "platform/ui/UiConstants.h"
#include "platform/ui/qt/DialogRun.h"
#include "platform/ui/qt/Screen.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTextEdit>

#include <cstdlib>

namespace {

// The dialog of the screen in front, unless something else (a box, a menu) is in front of it.
CDialogRecord* FrontScreen() {
    CModalRun* front = CScreen::Instance().Front();
    if (front == nullptr || front->HasEnded()) {
        return nullptr;
    }
    const CDialogRun* run = front->ContentAs<CDialogRun>();
    return run != nullptr ? run->Front() : nullptr;
}

// The front screen, when `widget` is its window or lies inside it.
CDialogRecord* ScreenHolding(QWidget* widget) {
    CDialogRecord* dialog = FrontScreen();
    QWidget* window = dialog != nullptr ? dialog->Widget() : nullptr;
    if (window == nullptr || (widget != window && !window->isAncestorOf(widget))) {
        return nullptr;
    }
    return dialog;
}

// The window a point of `widget` belongs to: the control holding the widget, or the dialog.
HWND WindowOf(CDialogRecord& dialog, const QWidget* widget) {
    for (const auto& child : dialog.Children()) {
        const QWidget* control = child->Widget();
        if (control != nullptr && (control == widget || control->isAncestorOf(widget))) {
            return child->Handle();
        }
    }
    return dialog.Handle();
}

LPARAM PointParam(QPoint point) {
    return MAKELPARAM(static_cast<WORD>(point.x()), static_cast<WORD>(point.y()));
}

QPoint InDialog(CDialogRecord& dialog, QWidget* widget, const QMouseEvent* event) {
    return widget->mapTo(dialog.Widget(), event->position().toPoint());
}

// Asks the screen whose window is `dialog`, if it is still in front, for its menu.
void AskForMenu(HWND dialog, HWND window, QPoint point) {
    CDialogRecord* front = FrontScreen();
    if (front == nullptr || front->Handle() != dialog) {
        return;
    }
    if (CWindowRecord::FromHandle(window) == nullptr) {
        window = dialog;
    }
    front->Send(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(window), PointParam(point));
}

UINT VirtualKey(int key) {
    switch (key) {
    case Qt::Key_Left:
        return VK_LEFT;
    case Qt::Key_Right:
        return VK_RIGHT;
    case Qt::Key_Up:
        return VK_UP;
    case Qt::Key_Down:
        return VK_DOWN;
    case Qt::Key_PageUp:
        return VK_PRIOR;
    case Qt::Key_PageDown:
        return VK_NEXT;
    default:
        return 0;
    }
}

// Drops the selection a drag made in the text view holding `widget`, if any.
void DropSelection(QWidget* widget, const QWidget* dialog) {
    for (QWidget* w = widget; w != nullptr && w != dialog; w = w->parentWidget()) {
        if (auto* text = qobject_cast<QTextEdit*>(w)) {
            QTextCursor cursor = text->textCursor();
            if (cursor.hasSelection()) {
                cursor.clearSelection();
                text->setTextCursor(cursor);
            }
            return;
        }
    }
}

} // namespace

void WatchScreenInput(QWidget* window) {
    static QPointer<CScreenInput> watching;
    if (window == nullptr || (watching && watching->parent() == window)) {
        return;
    }
    watching = new CScreenInput(window); // goes with the window
    qApp->installEventFilter(watching);
}

CScreenInput::CScreenInput(QObject* window) : QObject(window) {
    m_holdTimer.setSingleShot(true);
    m_holdTimer.setInterval(kHoldMilliseconds);
    connect(&m_holdTimer, &QTimer::timeout, this, [this] { OnHold(); });
}

bool CScreenInput::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease && type != QEvent::KeyPress &&
        type != QEvent::ContextMenu) {
        return false;
    }
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget == nullptr) {
        return false;
    }
    switch (type) {
    case QEvent::MouseButtonPress:
        return OnPress(widget, static_cast<QMouseEvent*>(event));
    case QEvent::MouseMove:
        return OnMove(widget, static_cast<QMouseEvent*>(event));
    case QEvent::MouseButtonRelease:
        return OnRelease(widget, static_cast<QMouseEvent*>(event));
    case QEvent::KeyPress:
        return OnKey(widget, static_cast<QKeyEvent*>(event));
    default: {
        // A control's own menu never shows on a screen that has a menu of its own.
        CDialogRecord* dialog = ScreenHolding(widget);
        return dialog != nullptr && dialog->Handles(WM_CONTEXTMENU);
    }
    }
}

bool CScreenInput::OnPress(QWidget* widget, QMouseEvent* event) {
    CDialogRecord* dialog = ScreenHolding(widget);
    if (dialog == nullptr) {
        return false;
    }
    if (event->button() == Qt::RightButton) {
        if (!dialog->Handles(WM_CONTEXTMENU)) {
            return false;
        }
        m_rightPressed = widget;
        return true; // the menu comes with the release, as a right click's does
    }
    const bool wantsMenu = dialog->Handles(WM_CONTEXTMENU);
    if (event->button() != Qt::LeftButton || (!wantsMenu && !dialog->Handles(WM_GESTURE))) {
        return false;
    }
    // Only the widget the press is for: a press travelling up to a parent is not a second one.
    QWidget* under = dialog->Widget()->childAt(InDialog(*dialog, widget, event));
    if (widget != (under != nullptr ? under : dialog->Widget())) {
        return false;
    }
    m_press = Press{widget, dialog->Handle(), InDialog(*dialog, widget, event), false, false, {}};
    m_press.time.start();
    m_tracking = true;
    if (wantsMenu) {
        m_holdTimer.start();
    } else {
        m_holdTimer.stop();
    }
    return false; // the press goes on: a tap does what it always did
}

bool CScreenInput::OnMove(QWidget* widget, QMouseEvent* event) {
    if (!m_tracking || widget != m_press.widget) {
        return false;
    }
    if (m_press.held) {
        return true;
    }
    CDialogRecord* dialog = ScreenHolding(widget);
    if (dialog == nullptr) {
        return false;
    }
    const QPoint moved = InDialog(*dialog, widget, event) - m_press.start;
    if (moved.manhattanLength() > kHoldSlop) {
        m_press.wandered = true;
        m_holdTimer.stop();
    }
    return false;
}

bool CScreenInput::OnRelease(QWidget* widget, QMouseEvent* event) {
    if (m_releasing) {
        return false;
    }
    if (event->button() == Qt::RightButton) {
        if (widget != m_rightPressed) {
            return false;
        }
        m_rightPressed = nullptr;
        CDialogRecord* dialog = ScreenHolding(widget);
        if (dialog == nullptr) {
            return true;
        }
        const HWND screen = dialog->Handle();
        const HWND window = WindowOf(*dialog, widget);
        const QPoint point = InDialog(*dialog, widget, event);
        QTimer::singleShot(0, this, [screen, window, point] { AskForMenu(screen, window, point); });
        return true;
    }
    if (!m_tracking || widget != m_press.widget || event->button() != Qt::LeftButton) {
        return false;
    }
    m_tracking = false;
    m_holdTimer.stop();
    if (m_press.held) {
        return true; // the hold opened the menu: lifting the finger is no tap
    }
    CDialogRecord* dialog = ScreenHolding(widget);
    if (dialog == nullptr || dialog->Handle() != m_press.dialog || !dialog->Handles(WM_GESTURE)) {
        return false;
    }
    const QPoint moved = InDialog(*dialog, widget, event) - m_press.start;
    const bool across = std::abs(moved.x()) * 3 >= dialog->Widget()->width() &&
                        std::abs(moved.y()) * 2 <= std::abs(moved.x());
    if (across && m_press.time.elapsed() <= kSwipeMilliseconds) {
        // The control finishes its drag first; the swipe follows it.
        const HWND screen = dialog->Handle();
        const QPointer<QWidget> target = widget;
        const LPARAM direction = moved.x() < 0 ? ARG_SCROLL_LEFT : ARG_SCROLL_RIGHT;
        QTimer::singleShot(0, this,
                           [this, screen, target, direction] { Swipe(screen, target, direction); });
    }
    return false;
}

void CScreenInput::Swipe(HWND dialog, const QPointer<QWidget>& widget, LPARAM direction) {
    CDialogRecord* front = FrontScreen();
    if (front == nullptr || front->Handle() != dialog) {
        return;
    }
    if (widget) {
        DropSelection(widget, front->Widget());
    }
    front->Send(WM_GESTURE, GID_SCROLL, direction);
}

void CScreenInput::OnHold() {
    if (!m_tracking || m_press.wandered || !m_press.widget) {
        return;
    }
    CDialogRecord* dialog = ScreenHolding(m_press.widget);
    if (dialog == nullptr || dialog->Handle() != m_press.dialog) {
        m_tracking = false; // the press opened another screen, which it belongs to now
        return;
    }
    m_press.held = true;
    // The control's press ends here, away from it: a button is not clicked, a link not followed,
    // and the finger's own release later goes nowhere.
    QWidget* widget = m_press.widget;
    const QPointF away(-10000, -10000);
    QMouseEvent lifted(QEvent::MouseButtonRelease, away, widget->mapToGlobal(away), Qt::LeftButton,
                       Qt::NoButton, Qt::NoModifier);
    m_releasing = true;
    QApplication::sendEvent(widget, &lifted);
    m_releasing = false;
    if (!m_press.widget || ScreenHolding(m_press.widget) != dialog) {
        return;
    }
    AskForMenu(m_press.dialog, WindowOf(*dialog, m_press.widget), m_press.start);
}

bool CScreenInput::OnKey(QWidget* widget, QKeyEvent* event) {
    CDialogRecord* dialog = ScreenHolding(widget);
    if (dialog == nullptr) {
        return false;
    }
    // Only the widget the key is for, not its parents as an unused key travels up to them.
    QWidget* window = dialog->Widget();
    QWidget* focus = window->focusWidget();
    if (focus == nullptr || (focus != window && !window->isAncestorOf(focus))) {
        focus = window;
    }
    if (widget != focus) {
        return false;
    }
    if (event->key() == Qt::Key_Menu) {
        if (!dialog->Handles(WM_CONTEXTMENU)) {
            return false;
        }
        const HWND screen = dialog->Handle();
        const HWND control = WindowOf(*dialog, widget);
        QTimer::singleShot(0, this,
                           [screen, control] { AskForMenu(screen, control, QPoint(-1, -1)); });
        return true;
    }
    const UINT key = VirtualKey(event->key());
    if (key == 0 || !dialog->Handles(WM_KEYDOWN)) {
        return false;
    }
    return dialog->SendKeyDown(key);
}
