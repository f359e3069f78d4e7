#include "platform/ui/testing/ScreenActions.h"

#include "platform/ui/UiConstants.h"
#include "platform/ui/testing/FrontRuns.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGraphicsView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>

namespace UiTesting {
namespace {

using namespace detail;

QPoint ToQPoint(CPoint point) {
    return QPoint(point.x, point.y);
}

void SendKey(int key) {
    CModalRun* front = FrontRun();
    QWidget* target = front != nullptr ? front->Content().Widget() : nullptr;
    if (target == nullptr) {
        return;
    }
    if (QWidget* focus = target->focusWidget(); focus != nullptr && target->isAncestorOf(focus)) {
        target = focus;
    }
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(target, &release);
}

void SendMouse(QWidget* target, QEvent::Type type, QPointF local, Qt::MouseButton button,
               Qt::MouseButtons buttons) {
    QMouseEvent event(type, local, target->mapToGlobal(local), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(target, &event);
}

// A press and its release at once; the release only while the press left the widget alive.
void SendClick(QWidget* widget, QPointF local, QPointF global) {
    QPointer<QWidget> target = widget;
    QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(target, &press);
    if (target) {
        QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(target, &release);
    }
}

// A press, moves and release as one pointer makes them.
class CPointer {
public:
    void Press(QPoint point, Qt::MouseButton button) {
        m_button = button;
        m_target = nullptr;
        QWidget* dialog = FrontDialogWidget();
        if (dialog == nullptr) {
            return;
        }
        m_dialog = dialog;
        m_target = m_dialog->childAt(point);
        if (!m_target) {
            m_target = m_dialog;
        }
        SendMouse(m_target, QEvent::MouseButtonPress, Local(point), button, button);
    }
    void Move(QPoint point) {
        if (m_target) {
            SendMouse(m_target, QEvent::MouseMove, Local(point), Qt::NoButton, m_button);
        }
    }
    void Release(QPoint point) {
        if (m_target) {
            SendMouse(m_target, QEvent::MouseButtonRelease, Local(point), m_button, Qt::NoButton);
        }
        m_target = nullptr;
    }

private:
    QPointF Local(QPoint point) const {
        return m_dialog && m_target ? QPointF(m_target->mapFrom(m_dialog, point)) : QPointF(point);
    }

    QPointer<QWidget> m_dialog;
    QPointer<QWidget> m_target;
    Qt::MouseButton m_button = Qt::LeftButton;
};

CPointer& ThePointer() {
    static CPointer pointer; // on the program's thread only
    return pointer;
}

void TapPanel(QWidget* panel, QPoint point) {
    SendMouse(panel, QEvent::MouseButtonPress, point, Qt::LeftButton, Qt::LeftButton);
    if (QPointer<QWidget> alive = panel) {
        SendMouse(panel, QEvent::MouseButtonRelease, point, Qt::LeftButton, Qt::NoButton);
    }
}

int QtKey(UINT virtualKey) {
    switch (virtualKey) {
    case VK_LEFT:
        return Qt::Key_Left;
    case VK_RIGHT:
        return Qt::Key_Right;
    case VK_UP:
        return Qt::Key_Up;
    case VK_DOWN:
        return Qt::Key_Down;
    case VK_PRIOR:
        return Qt::Key_PageUp;
    case VK_NEXT:
        return Qt::Key_PageDown;
    default:
        return 0;
    }
}

} // namespace

void ClickButton(int id) {
    if (auto* button = FrontControlAs<CButtonRecord>(id)) {
        button->Click();
    }
}

void SelectItem(int id, int index) {
    if (auto* items = FrontControlAs<CItemListRecord>(id)) {
        items->UserSelect(index);
    } else if (auto* view = FrontControlAs<CListViewRecord>(id)) {
        view->UserSelect(index);
    }
}

void TypeText(int id, const CString& text) {
    auto* edit = FrontControlAs<CEditRecord>(id);
    if (edit == nullptr || edit->IsReadOnly()) {
        return;
    }
    if (auto* line = qobject_cast<QLineEdit*>(edit->Widget())) {
        line->selectAll();
    } else if (auto* multi = qobject_cast<QPlainTextEdit*>(edit->Widget())) {
        multi->selectAll();
    }
    edit->Type(text);
}

void Tap(CPoint point) {
    QWidget* dialog = FrontDialogWidget();
    if (dialog == nullptr) {
        return;
    }
    QWidget* target = dialog->childAt(ToQPoint(point));
    if (target == nullptr) {
        target = dialog;
    }
    const QPointF local = target->mapFrom(dialog, ToQPoint(point));
    SendClick(target, local, local);
}

void PressPointer(CPoint point, bool right) {
    ThePointer().Press(ToQPoint(point), right ? Qt::RightButton : Qt::LeftButton);
}

void MovePointer(CPoint point) {
    ThePointer().Move(ToQPoint(point));
}

void ReleasePointer(CPoint point) {
    ThePointer().Release(ToQPoint(point));
}

void ClickWindowAt(CPoint at) {
    auto* view = qobject_cast<QGraphicsView*>(CScreen::Instance().Window());
    if (view == nullptr) {
        return;
    }
    QWidget* viewport = view->viewport();
    const QPointF point = viewport->mapFrom(view, ToQPoint(at));
    SendClick(viewport, point, viewport->mapToGlobal(point));
}

void PressKey(UINT virtualKey) {
    SendKey(QtKey(virtualKey));
}

void PressEscape() {
    SendKey(Qt::Key_Escape);
}

void PressEnter() {
    SendKey(Qt::Key_Return);
}

void PressMenuKey() {
    SendKey(Qt::Key_Menu);
}

void PressBarOk() {
    QWidget* surface = CScreen::Instance().Surface();
    auto* ok =
        surface != nullptr ? surface->findChild<QAbstractButton*>(QStringLiteral("ok")) : nullptr;
    if (ok != nullptr) {
        ok->click();
    }
}

void AnswerBox() {
    const CBoxRun* box = FrontBoxRun();
    if (box != nullptr && box->Panel() != nullptr) {
        box->Panel()->OkButton()->click();
    }
}

void ChooseMenuItem(UINT id) {
    CMenuPanel* panel = FrontMenuPanel();
    if (panel == nullptr) {
        return;
    }
    const auto& items = panel->Items();
    for (int i = 0; i < static_cast<int>(items.size()); ++i) {
        if (!items[i].IsSeparator() && items[i].id == id) {
            TapPanel(panel, panel->ItemRect(i).center());
            return;
        }
    }
}

void CancelMenu() {
    CMenuPanel* panel = FrontMenuPanel();
    if (panel == nullptr) {
        return;
    }
    // The corner farthest from the menu.
    const QRect frame = panel->Frame();
    const int x = frame.center().x() < panel->width() / 2 ? panel->width() - 2 : 1;
    const int y = frame.center().y() < panel->height() / 2 ? panel->height() - 2 : 1;
    TapPanel(panel, QPoint(x, y));
}

void CloseWindow() {
    if (QWidget* window = CScreen::Instance().Window()) {
        window->close();
    }
}

void EndEveryScreen() {
    CScreen::Instance().CloseWindow();
}

} // namespace UiTesting
