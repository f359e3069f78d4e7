#pragma once
// The handheld's input beyond the tap, for the screen in front, wherever on it (on the dialog or
// on a control of it, such as the HTML viewer that fills the reader) it happens:
//   - a press held 0.6 s without moving far, a right click, or the Menu key: WM_CONTEXTMENU;
//     the press that was held is not also a tap (its release goes nowhere);
//   - Left, Right, Up, Down, PageUp and PageDown: WM_KEYDOWN, before the control that has the
//     keyboard sees the key; the screen's default handling leaves it to the control;
//   - a quick horizontal drag across at least a third of the screen: WM_GESTURE (GID_SCROLL),
//     after the control has had the drag; a text selection the drag made is dropped with it.
// A screen gets only the messages its message map answers: every other screen, and every other
// press and key, goes exactly as it would without this.

#include "platform/core/WinTypes.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <QWidget>

class CDialogRecord;
class QKeyEvent;
class QMouseEvent;

// Makes sure the screen's window `window` has its input watched, from now until it closes.
void WatchScreenInput(QWidget* window);

class CScreenInput : public QObject {
public:
    // How long a press must stay to be a tap-and-hold, and how far it may wander meanwhile.
    static constexpr int kHoldMilliseconds = 600;
    static constexpr int kHoldSlop = 8;
    // A swipe is done within this time; a slower drag is left to select text.
    static constexpr int kSwipeMilliseconds = 600;

    // Watches every event of the application while `window` (the screen's window) lives.
    explicit CScreenInput(QObject* window);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Press {
        QPointer<QWidget> widget; // the widget the press went to
        HWND dialog = nullptr;    // the screen's window
        QPoint start;             // in the dialog's client pixels
        bool wandered = false;    // moved too far to be a hold
        bool held = false;        // became a tap-and-hold: the rest of it goes nowhere
        QElapsedTimer time;
    };

    bool OnPress(QWidget* widget, QMouseEvent* event);
    bool OnMove(QWidget* widget, QMouseEvent* event);
    bool OnRelease(QWidget* widget, QMouseEvent* event);
    bool OnKey(QWidget* widget, QKeyEvent* event);
    void OnHold();
    void Swipe(HWND dialog, const QPointer<QWidget>& widget, LPARAM direction);

    QTimer m_holdTimer;
    Press m_press;
    bool m_tracking = false;
    QPointer<QWidget> m_rightPressed; // the widget a right press went to
    bool m_releasing = false;         // the release that ends a held press is on its way
};
