#pragma once
// A popup menu on the screen: a panel over the client area that shows the menu's entries in a
// frame at the point it was asked for, and takes the taps and keys while it is in front. A tap on
// an enabled entry chooses it; a tap outside the frame, Esc, the bar's "ok" and the window's
// closing cancel; Up and Down move the highlight over the enabled entries and Enter chooses it.

#include "platform/ui/Menu.h"
#include "platform/ui/qt/Screen.h"

#include <QWidget>

#include <functional>
#include <vector>

class CMenuPanel : public QWidget {
public:
    CMenuPanel(QWidget* area, std::vector<MenuItem> items, QPoint at);

    const std::vector<MenuItem>& Items() const { return m_items; }
    // Where entry `index` stands on the panel; empty for no such entry.
    QRect ItemRect(int index) const;
    // The menu's frame on the panel: a tap anywhere else cancels.
    QRect Frame() const { return m_frame; }
    int Highlighted() const { return m_highlighted; }
    // What ends the menu: the id chosen, or 0 for a cancel.
    void SetOnEnd(std::function<void(UINT)> onEnd) { m_onEnd = std::move(onEnd); }
    // Chooses the highlighted entry, if any.
    void ChooseHighlighted();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    int ItemAt(QPoint point) const;
    void MoveHighlight(int step);
    void End(UINT id);

    std::vector<MenuItem> m_items;
    std::vector<QRect> m_rects; // of each entry, on the panel
    QRect m_frame;
    int m_highlighted = -1;
    int m_pressed = -1; // the entry a press went down on, chosen if the release is on it too
    std::function<void(UINT)> m_onEnd;
};

class CMenuRun : public CPanelRun {
public:
    CMenuRun(QWidget* area, const HMENU__& menu, QPoint at);

    CMenuPanel* Panel() const { return static_cast<CMenuPanel*>(Widget()); }

    // The panel takes the keyboard; choosing an entry ends the run with its id.
    void Begin(CModalRun& run) override;
    // The bar's "ok" and Esc cancel a menu.
    void Command(CModalRun& run, int id) override;
    void PressEnter(CModalRun& run) override;
    void Describe(UiTesting::ScreenEvent& event, bool opened) const override;
};
