#pragma once
// The widget behind the list view in report view: a heading line and rows of texts in columns,
// drawn straight from the rows it keeps. Adding a row at the end costs the same however many
// rows there are: the rows live in one queue of texts, nothing is laid out per row, and only the
// rows in sight are ever drawn. The selection is a set of row numbers.

#include <QAbstractScrollArea>
#include <QString>

#include <algorithm>
#include <deque>
#include <set>
#include <vector>

class CReportHeader;

class CReportView : public QAbstractScrollArea {
public:
    explicit CReportView(QWidget* parent);

    // Columns. `format` is LVCFMT_LEFT, LVCFMT_RIGHT or LVCFMT_CENTER; a negative width keeps
    // the usual one. Texts right of a new column move one column on.
    int InsertColumn(int at, const QString& heading, int format, int width);
    int ColumnCount() const { return static_cast<int>(m_columns.size()); }
    QString ColumnHeading(int column) const;
    int ColumnWidth(int column) const;

    // Rows: a row holds a text for every column (for one column before any exists).
    int InsertRow(int at, const QString& text);
    bool SetText(int row, int column, const QString& text);
    QString Text(int row, int column) const;
    void Clear();
    int RowCount() const { return m_rowCount; }

    bool IsSelected(int row) const { return m_selected.contains(row); }
    int SelectedCount() const { return static_cast<int>(m_selected.size()); }
    void SetSelected(int row, bool selected);
    int CurrentRow() const { return m_current; }
    void SetCurrentRow(int row);
    // What a tap on a row does: that row alone is selected and current, and in sight.
    void SelectOnly(int row);
    void EnsureVisible(int row);

    void SetSingleSelection(bool single) { m_single = single; }
    void SetFullRowSelect(bool fullRow);
    void SetGradient(bool gradient);
    void SetHeaderVisible(bool visible);

    int RowHeight() const;
    int HeaderHeight() const;
    // The first row in sight.
    int TopRow() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void changeEvent(QEvent* event) override;

private:
    friend class CReportHeader;

    int Stride() const { return std::max(1, ColumnCount()); }
    int TotalWidth() const;
    int RowAt(int y) const;
    void UpdateScrollRanges();
    void UpdateRow(int row);
    void UpdateGeometries();
    void PaintRow(QPainter& painter, int row, int top) const;
    void PaintHeader(QPainter& painter, const QRect& area) const;

    struct Column {
        QString heading;
        int format;
        int width;
    };
    std::vector<Column> m_columns;
    std::deque<QString> m_cells; // row by row, Stride() texts each; appending never moves them
    int m_rowCount = 0;
    std::set<int> m_selected;
    int m_current = -1;
    bool m_single = true;
    bool m_fullRow = false;
    bool m_gradient = false;
    bool m_headerVisible = true;
    CReportHeader* m_header;
};
