#include "platform/ui/qt/ReportView.h"

#include "platform/ui/UiConstants.h"

#include <QKeyEvent>
#include <QLinearGradient>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>

namespace {

constexpr int kUsualColumnWidth = 60;
constexpr int kCellPadding = 3;

Qt::Alignment CellAlignment(int format) {
    switch (format & 3) {
    case LVCFMT_RIGHT:
        return Qt::AlignRight | Qt::AlignVCenter;
    case LVCFMT_CENTER:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    default:
        return Qt::AlignLeft | Qt::AlignVCenter;
    }
}

// A text in a cell, cut with an ellipsis when it does not fit, as the handheld's list shows it.
void DrawCellText(QPainter& painter, const QRect& cell, const QString& text, int format) {
    const QRect inner = cell.adjusted(kCellPadding, 0, -kCellPadding, 0);
    if (inner.width() <= 0 || text.isEmpty()) {
        return;
    }
    const QString shown = painter.fontMetrics().elidedText(text, Qt::ElideRight, inner.width());
    painter.drawText(inner, static_cast<int>(CellAlignment(format)) | Qt::TextSingleLine, shown);
}

} // namespace

// The heading line above the rows; it scrolls sideways with them.
class CReportHeader : public QWidget {
public:
    explicit CReportHeader(CReportView& view) : QWidget(&view), m_view(view) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        m_view.PaintHeader(painter, rect());
    }

private:
    CReportView& m_view;
};

CReportView::CReportView(QWidget* parent)
    : QAbstractScrollArea(parent), m_header(new CReportHeader(*this)) {
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Base);
    UpdateGeometries();
}

// ---- columns ------------------------------------------------------------------------------

int CReportView::InsertColumn(int at, const QString& heading, int format, int width) {
    const int count = ColumnCount();
    const int column = at < 0 || at > count ? count : at;
    const int oldStride = Stride();
    m_columns.insert(m_columns.begin() + column,
                     {heading, format, width >= 0 ? width : kUsualColumnWidth});
    const int newStride = Stride();
    if (newStride != oldStride && m_rowCount > 0) {
        // Every row gets an empty text in the new column.
        std::deque<QString> cells(static_cast<size_t>(m_rowCount) * newStride);
        for (int row = 0; row < m_rowCount; ++row) {
            for (int c = 0; c < oldStride; ++c) {
                const int to = c < column ? c : c + 1;
                cells[static_cast<size_t>(row) * newStride + to] =
                    std::move(m_cells[static_cast<size_t>(row) * oldStride + c]);
            }
        }
        m_cells = std::move(cells);
    }
    UpdateScrollRanges();
    m_header->update();
    viewport()->update();
    return column;
}

QString CReportView::ColumnHeading(int column) const {
    return column >= 0 && column < ColumnCount() ? m_columns[column].heading : QString();
}

int CReportView::ColumnWidth(int column) const {
    return column >= 0 && column < ColumnCount() ? m_columns[column].width : 0;
}

int CReportView::TotalWidth() const {
    int total = 0;
    for (const Column& column : m_columns) {
        total += column.width;
    }
    return total;
}

// ---- rows ---------------------------------------------------------------------------------

int CReportView::InsertRow(int at, const QString& text) {
    const int row = at < 0 || at > m_rowCount ? m_rowCount : at;
    const auto first = m_cells.begin() + static_cast<std::ptrdiff_t>(row) * Stride();
    const auto inserted = m_cells.insert(first, static_cast<size_t>(Stride()), QString());
    *inserted = text;
    ++m_rowCount;
    if (row < m_rowCount - 1) {
        // Rows below move one down, and their selection with them.
        std::set<int> moved;
        for (const int selected : m_selected) {
            moved.insert(selected >= row ? selected + 1 : selected);
        }
        m_selected = std::move(moved);
        if (m_current >= row) {
            ++m_current;
        }
        viewport()->update();
    } else {
        UpdateRow(row);
    }
    UpdateScrollRanges();
    return row;
}

bool CReportView::SetText(int row, int column, const QString& text) {
    if (row < 0 || row >= m_rowCount || column < 0 || column >= Stride()) {
        return false;
    }
    m_cells[static_cast<size_t>(row) * Stride() + column] = text;
    UpdateRow(row);
    return true;
}

QString CReportView::Text(int row, int column) const {
    if (row < 0 || row >= m_rowCount || column < 0 || column >= Stride()) {
        return {};
    }
    return m_cells[static_cast<size_t>(row) * Stride() + column];
}

void CReportView::Clear() {
    m_cells.clear();
    m_rowCount = 0;
    m_selected.clear();
    m_current = -1;
    UpdateScrollRanges();
    viewport()->update();
}

// ---- selection ----------------------------------------------------------------------------

void CReportView::SetSelected(int row, bool selected) {
    if (row < 0 || row >= m_rowCount || IsSelected(row) == selected) {
        return;
    }
    if (selected && m_single) {
        const std::set<int> previous = std::exchange(m_selected, {});
        for (const int other : previous) {
            UpdateRow(other);
        }
    }
    if (selected) {
        m_selected.insert(row);
    } else {
        m_selected.erase(row);
    }
    UpdateRow(row);
}

void CReportView::SetCurrentRow(int row) {
    if (row < -1 || row >= m_rowCount) {
        return;
    }
    UpdateRow(m_current);
    m_current = row;
    UpdateRow(m_current);
}

void CReportView::SelectOnly(int row) {
    if (row < 0 || row >= m_rowCount) {
        return;
    }
    const std::set<int> previous = std::exchange(m_selected, {row});
    for (const int other : previous) {
        UpdateRow(other);
    }
    SetCurrentRow(row);
    EnsureVisible(row);
}

void CReportView::EnsureVisible(int row) {
    if (row < 0 || row >= m_rowCount) {
        return;
    }
    QScrollBar* bar = verticalScrollBar();
    const int top = row * RowHeight();
    const int bottom = top + RowHeight();
    if (top < bar->value()) {
        bar->setValue(top);
    } else if (bottom > bar->value() + viewport()->height()) {
        bar->setValue(bottom - viewport()->height());
    }
}

void CReportView::SetFullRowSelect(bool fullRow) {
    m_fullRow = fullRow;
    viewport()->update();
}

void CReportView::SetGradient(bool gradient) {
    m_gradient = gradient;
    viewport()->update();
}

void CReportView::SetHeaderVisible(bool visible) {
    m_headerVisible = visible;
    UpdateGeometries();
}

// ---- geometry -----------------------------------------------------------------------------

int CReportView::RowHeight() const {
    return fontMetrics().height() + 4;
}

int CReportView::HeaderHeight() const {
    return m_headerVisible ? fontMetrics().height() + 6 : 0;
}

int CReportView::TopRow() const {
    return verticalScrollBar()->value() / RowHeight();
}

int CReportView::RowAt(int y) const {
    const int row = (y + verticalScrollBar()->value()) / RowHeight();
    return y >= 0 && row < m_rowCount ? row : -1;
}

void CReportView::UpdateGeometries() {
    setViewportMargins(0, HeaderHeight(), 0, 0);
    const QRect area = viewport()->geometry();
    m_header->setGeometry(area.left(), area.top() - HeaderHeight(), area.width(), HeaderHeight());
    m_header->setVisible(m_headerVisible);
    UpdateScrollRanges();
}

void CReportView::UpdateScrollRanges() {
    const QSize area = viewport()->size();
    QScrollBar* vertical = verticalScrollBar();
    vertical->setRange(0, std::max(0, m_rowCount * RowHeight() - area.height()));
    vertical->setPageStep(area.height());
    vertical->setSingleStep(RowHeight());
    QScrollBar* horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(0, TotalWidth() - area.width()));
    horizontal->setPageStep(area.width());
    horizontal->setSingleStep(10);
}

void CReportView::UpdateRow(int row) {
    if (row < 0 || row >= m_rowCount) {
        return;
    }
    const int top = row * RowHeight() - verticalScrollBar()->value();
    if (top + RowHeight() > 0 && top < viewport()->height()) {
        viewport()->update(0, top, viewport()->width(), RowHeight());
    }
}

void CReportView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateGeometries();
}

void CReportView::scrollContentsBy(int dx, int) {
    if (dx != 0) {
        m_header->update();
    }
    viewport()->update();
}

void CReportView::changeEvent(QEvent* event) {
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        UpdateGeometries();
    }
    if (event->type() == QEvent::EnabledChange) {
        m_header->update();
    }
}

// ---- painting -----------------------------------------------------------------------------

void CReportView::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    if (m_gradient) {
        // The handheld's list fades from white at the top to a pale blue at the bottom.
        QLinearGradient fade(0, 0, 0, viewport()->height());
        fade.setColorAt(0, QColor(0xff, 0xff, 0xff));
        fade.setColorAt(1, QColor(0xdc, 0xe6, 0xf4));
        painter.fillRect(event->rect(), fade);
    }
    const int height = RowHeight();
    const int scrolled = verticalScrollBar()->value();
    const int first = (scrolled + event->rect().top()) / height;
    const int last = std::min(m_rowCount - 1, (scrolled + event->rect().bottom()) / height);
    for (int row = first; row <= last; ++row) {
        PaintRow(painter, row, row * height - scrolled);
    }
}

void CReportView::PaintRow(QPainter& painter, int row, int top) const {
    // The selection shows always, focused or not; a disabled list shows it greyed.
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    const bool selected = IsSelected(row);
    int x = -horizontalScrollBar()->value();
    for (int column = 0; column < Stride(); ++column) {
        const int width = column < ColumnCount() ? m_columns[column].width : viewport()->width();
        const int format = column < ColumnCount() ? m_columns[column].format : LVCFMT_LEFT;
        const QRect cell(x, top, width, RowHeight());
        const bool highlighted = selected && (m_fullRow || column == 0);
        if (highlighted) {
            painter.fillRect(cell, palette().brush(group, QPalette::Highlight));
        }
        painter.setPen(
            palette().color(group, highlighted ? QPalette::HighlightedText : QPalette::Text));
        DrawCellText(painter, cell, Text(row, column), format);
        x += width;
    }
    if (row == m_current && hasFocus()) {
        painter.setPen(QPen(palette().color(group, QPalette::Text), 1, Qt::DotLine));
        painter.drawRect(QRect(0, top, viewport()->width() - 1, RowHeight() - 1));
    }
}

void CReportView::PaintHeader(QPainter& painter, const QRect& area) const {
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    painter.fillRect(area, palette().brush(group, QPalette::Button));
    int x = -horizontalScrollBar()->value();
    for (const Column& column : m_columns) {
        const QRect cell(x, 0, column.width, area.height());
        painter.setPen(palette().color(group, QPalette::ButtonText));
        DrawCellText(painter, cell, column.heading, column.format);
        painter.setPen(palette().color(group, QPalette::Mid));
        painter.drawLine(cell.right(), 2, cell.right(), area.height() - 3);
        x += column.width;
    }
    painter.setPen(palette().color(group, QPalette::Mid));
    painter.drawLine(0, area.height() - 1, area.width(), area.height() - 1);
}

// ---- input --------------------------------------------------------------------------------

void CReportView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    const QPoint point = event->position().toPoint();
    const int row = RowAt(point.y());
    const bool onLabel =
        m_fullRow || point.x() + horizontalScrollBar()->value() < ColumnWidth(0) || !ColumnCount();
    if (row < 0 || !onLabel) {
        // A tap beside every row clears the selection, as on the handheld.
        const std::set<int> previous = std::exchange(m_selected, {});
        for (const int other : previous) {
            UpdateRow(other);
        }
        return;
    }
    if (!m_single && (event->modifiers() & Qt::ControlModifier) != 0) {
        SetSelected(row, !IsSelected(row));
        SetCurrentRow(row);
        return;
    }
    SelectOnly(row);
}

void CReportView::keyPressEvent(QKeyEvent* event) {
    const int page = std::max(1, viewport()->height() / RowHeight());
    const int from = m_current < 0 ? -1 : m_current;
    int to = from;
    switch (event->key()) {
    case Qt::Key_Up:
        to = from - 1;
        break;
    case Qt::Key_Down:
        to = from + 1;
        break;
    case Qt::Key_PageUp:
        to = from - page;
        break;
    case Qt::Key_PageDown:
        to = from + page;
        break;
    case Qt::Key_Home:
        to = 0;
        break;
    case Qt::Key_End:
        to = m_rowCount - 1;
        break;
    default:
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    if (m_rowCount > 0) {
        SelectOnly(std::clamp(to, 0, m_rowCount - 1));
    }
}
