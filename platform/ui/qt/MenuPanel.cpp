#include "platform/ui/qt/MenuPanel.h"

#include "platform/ui/Wnd.h"
#include "platform/ui/qt/Fonts.h"
#include "platform/ui/qt/QtText.h"
#include "platform/ui/testing/UiTesting.h"

#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

// Rows tall enough for a fingertip, in the dialogs' 9-point Song face.
constexpr int kRowHeight = 24;
constexpr int kSeparatorHeight = 9;
constexpr int kCheckColumn = 16; // room for a check mark before the text
constexpr int kTextRight = 14;
constexpr int kFramePadding = 3;
constexpr int kMinimumWidth = 112;
constexpr int kScreenMargin = 4;

// The colours of the screen: paper, ink-blue for the entry under the finger, seal-red edges.
const QColor kPaper(0xfb, 0xf7, 0xec);
const QColor kInk(0x1f, 0x1a, 0x14);
const QColor kGreyInk(0xa8, 0x9f, 0x90);
const QColor kHighlight(0x2c, 0x3e, 0x57);
const QColor kHighlightText(0xf4, 0xec, 0xd8);
const QColor kEdge(0x8f, 0x2a, 0x1c);
const QColor kRule(0xd9, 0xb3, 0x8c);

QFont MenuFont() {
    return MakeFont(u"宋体", 90);
}

// The frame's top left for a menu of `size` asked for at `at`: its top left at the point, moved
// in so that it stays on the screen, above the point when it would run off the bottom.
QPoint FramePlace(QPoint at, QSize size, QSize area) {
    if (at.x() < 0 || at.y() < 0) {
        return {(area.width() - size.width()) / 2, (area.height() - size.height()) / 2};
    }
    int left = std::min(at.x(), area.width() - size.width() - kScreenMargin);
    int top = at.y();
    if (top + size.height() > area.height() - kScreenMargin) {
        top = at.y() - size.height();
    }
    left = std::max(left, kScreenMargin);
    top = std::clamp(top, kScreenMargin, std::max(kScreenMargin, area.height() - size.height()));
    return {left, top};
}

} // namespace

CMenuPanel::CMenuPanel(QWidget* area, std::vector<MenuItem> items, QPoint at)
    : QWidget(area), m_items(std::move(items)) {
    setObjectName(QStringLiteral("menu"));
    setGeometry(0, 0, area->width(), area->height());
    setFont(MenuFont());
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    const QFontMetrics metrics(font());
    int width = kMinimumWidth;
    int height = 2 * kFramePadding;
    for (const MenuItem& item : m_items) {
        if (!item.IsSeparator()) {
            width = std::max(width, kCheckColumn + metrics.horizontalAdvance(ToQString(item.text)) +
                                        kTextRight);
        }
        height += item.IsSeparator() ? kSeparatorHeight : kRowHeight;
    }
    width = std::min(width, area->width() - 2 * kScreenMargin);
    height = std::min(height, area->height() - 2 * kScreenMargin);
    m_frame = QRect(FramePlace(at, QSize(width, height), area->size()), QSize(width, height));
    int top = m_frame.top() + kFramePadding;
    for (const MenuItem& item : m_items) {
        const int rowHeight = item.IsSeparator() ? kSeparatorHeight : kRowHeight;
        m_rects.emplace_back(m_frame.left() + 1, top, m_frame.width() - 2, rowHeight);
        top += rowHeight;
    }
}

QRect CMenuPanel::ItemRect(int index) const {
    return index >= 0 && index < static_cast<int>(m_rects.size()) ? m_rects[index] : QRect();
}

int CMenuPanel::ItemAt(QPoint point) const {
    for (int i = 0; i < static_cast<int>(m_rects.size()); ++i) {
        if (m_rects[i].contains(point)) {
            return i;
        }
    }
    return -1;
}

void CMenuPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    // The screen stays in sight, a little dimmed, and the menu casts a soft shadow on it.
    painter.fillRect(rect(), QColor(0, 0, 0, 36));
    painter.fillRect(m_frame.translated(2, 2), QColor(0, 0, 0, 60));
    painter.fillRect(m_frame, kPaper);
    painter.setPen(QPen(kEdge, 1));
    painter.drawRect(m_frame.adjusted(0, 0, -1, -1));
    for (int i = 0; i < static_cast<int>(m_items.size()); ++i) {
        const MenuItem& item = m_items[i];
        const QRect row = m_rects[i];
        if (item.IsSeparator()) {
            const int y = row.center().y();
            painter.setPen(QPen(kRule, 1));
            painter.drawLine(row.left() + 6, y, row.right() - 6, y);
            continue;
        }
        const bool lit = i == m_highlighted && item.IsEnabled();
        if (lit) {
            painter.fillRect(row.adjusted(1, 0, -1, 0), kHighlight);
        }
        painter.setPen(lit ? kHighlightText : (item.IsEnabled() ? kInk : kGreyInk));
        if (item.IsChecked()) {
            const QPoint c(row.left() + kCheckColumn / 2, row.center().y());
            painter.setRenderHint(QPainter::Antialiasing);
            painter.drawPolyline(
                QPolygon({c + QPoint(-4, 0), c + QPoint(-1, 3), c + QPoint(4, -4)}));
            painter.setRenderHint(QPainter::Antialiasing, false);
        }
        const QRect text = row.adjusted(kCheckColumn, 0, -kTextRight / 2, 0);
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, ToQString(item.text));
    }
}

void CMenuPanel::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    if (!m_frame.contains(point)) {
        End(0); // a tap outside the menu cancels it
        return;
    }
    m_pressed = ItemAt(point);
    m_highlighted = m_pressed;
    update();
}

void CMenuPanel::mouseMoveEvent(QMouseEvent* event) {
    const int under = ItemAt(event->position().toPoint());
    if (under != m_highlighted) {
        m_highlighted = under;
        update();
    }
}

void CMenuPanel::mouseReleaseEvent(QMouseEvent* event) {
    const int under = ItemAt(event->position().toPoint());
    const int pressed = std::exchange(m_pressed, -1);
    if (under >= 0 && under == pressed && m_items[under].IsEnabled()) {
        End(m_items[under].id);
    }
}

void CMenuPanel::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
        MoveHighlight(-1);
        break;
    case Qt::Key_Down:
        MoveHighlight(1);
        break;
    default:
        QWidget::keyPressEvent(event); // Esc and Enter go on to the screen
    }
}

void CMenuPanel::MoveHighlight(int step) {
    const int count = static_cast<int>(m_items.size());
    int at = m_highlighted;
    for (int tries = 0; tries < count; ++tries) {
        at = at < 0 ? (step > 0 ? 0 : count - 1) : (at + step + count) % count;
        if (m_items[at].IsEnabled()) {
            m_highlighted = at;
            update();
            return;
        }
    }
}

void CMenuPanel::ChooseHighlighted() {
    if (m_highlighted >= 0 && m_items[m_highlighted].IsEnabled()) {
        End(m_items[m_highlighted].id);
    }
}

void CMenuPanel::End(UINT id) {
    if (m_onEnd) {
        m_onEnd(id);
    }
}

// ---- CMenuRun -----------------------------------------------------------------------------

CMenuRun::CMenuRun(QWidget* area, const HMENU__& menu, QPoint at)
    : CPanelRun(new CMenuPanel(area, menu.items, at), CString()) {}

void CMenuRun::Begin(CModalRun& run) {
    Panel()->SetOnEnd([&run](UINT id) { run.End(static_cast<int>(id)); });
    Panel()->setFocus(Qt::OtherFocusReason);
}

void CMenuRun::Command(CModalRun& run, int) {
    run.End(0);
}

void CMenuRun::PressEnter(CModalRun&) {
    Panel()->ChooseHighlighted();
}

void CMenuRun::Describe(UiTesting::ScreenEvent& event, bool opened) const {
    using Kind = UiTesting::ScreenEvent::Kind;
    event.kind = opened ? Kind::MenuShown : Kind::MenuClosed;
}

UINT TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int, HWND owner, const RECT*) {
    if (menu == nullptr || menu->items.empty() || QApplication::instance() == nullptr) {
        return 0;
    }
    CScreen& screen = CScreen::Instance();
    if (screen.IsClosing()) {
        return 0;
    }
    CMenuRun content(screen.ClientArea(), *menu, QPoint(x, y));
    int chosen = 0;
    {
        CModalRun run(content);
        chosen = run.Exec(0);
    }
    if ((flags & TPM_RETURNCMD) != 0) {
        return static_cast<UINT>(chosen);
    }
    if (chosen != 0) {
        ::SendMessage(owner, WM_COMMAND, MAKEWPARAM(static_cast<WORD>(chosen), 0), 0);
    }
    return chosen != 0 ? TRUE : FALSE;
}
