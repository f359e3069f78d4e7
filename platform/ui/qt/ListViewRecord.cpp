// The list view control ("SysListView32" in report view) on the report view widget, which adds
// a row at the end in the same time however long the list has grown.

#include "platform/ui/qt/ControlRecords.h"
#include "platform/ui/qt/QtText.h"
#include "platform/ui/qt/ReportView.h"

CListViewRecord::CListViewRecord(const ControlTemplate& control, CWindowRecord* dialog,
                                 QWidget* parent)
    : CControlRecord(control, dialog) {
    m_view = new CReportView(parent);
    m_view->SetSingleSelection((control.style & LVS_SINGLESEL) != 0);
    m_view->SetHeaderVisible((control.style & LVS_TYPEMASK) == LVS_REPORT);
    m_view->setFrameShape((control.style & WS_BORDER) != 0 ? QFrame::Box : QFrame::NoFrame);
    Place(m_view, control);
    SetWidget(m_view);
}

void CListViewRecord::SetExtendedStyle(DWORD style) {
    m_extendedStyle = style;
    if (m_view) {
        m_view->SetFullRowSelect((style & LVS_EX_FULLROWSELECT) != 0);
        m_view->SetGradient((style & LVS_EX_GRADIENT) != 0);
    }
}

int CListViewRecord::InsertColumn(int column, const CString& heading, int format, int width) {
    return m_view ? m_view->InsertColumn(column, ToQString(heading), format, width) : -1;
}

int CListViewRecord::ColumnCount() const {
    return m_view ? m_view->ColumnCount() : 0;
}

CString CListViewRecord::ColumnHeading(int column) const {
    return m_view ? FromQString(m_view->ColumnHeading(column)) : CString();
}

int CListViewRecord::ColumnWidth(int column) const {
    return m_view ? m_view->ColumnWidth(column) : 0;
}

int CListViewRecord::InsertItem(int index, const CString& text) {
    return m_view ? m_view->InsertRow(index, ToQString(text)) : -1;
}

bool CListViewRecord::SetItemText(int item, int subItem, const CString& text) {
    return m_view && m_view->SetText(item, subItem, ToQString(text));
}

CString CListViewRecord::ItemText(int item, int subItem) const {
    return m_view ? FromQString(m_view->Text(item, subItem)) : CString();
}

bool CListViewRecord::DeleteAllItems() {
    if (m_view) {
        m_view->Clear();
    }
    return m_view != nullptr;
}

int CListViewRecord::ItemCount() const {
    return m_view ? m_view->RowCount() : 0;
}

int CListViewRecord::SelectedCount() const {
    return m_view ? m_view->SelectedCount() : 0;
}

UINT CListViewRecord::ItemState(int item, UINT mask) const {
    if (!m_view || item < 0 || item >= m_view->RowCount()) {
        return 0;
    }
    UINT state = 0;
    if (m_view->IsSelected(item)) {
        state |= LVIS_SELECTED;
    }
    if (m_view->CurrentRow() == item) {
        state |= LVIS_FOCUSED;
    }
    return state & mask;
}

bool CListViewRecord::SetItemState(int item, UINT state, UINT mask) {
    if (!m_view || item < 0 || item >= m_view->RowCount()) {
        return false;
    }
    if ((mask & LVIS_FOCUSED) != 0 && (state & LVIS_FOCUSED) != 0) {
        m_view->SetCurrentRow(item);
    } else if ((mask & LVIS_FOCUSED) != 0 && m_view->CurrentRow() == item) {
        m_view->SetCurrentRow(-1);
    }
    if ((mask & LVIS_SELECTED) != 0) {
        m_view->SetSelected(item, (state & LVIS_SELECTED) != 0);
    }
    return true;
}

bool CListViewRecord::EnsureVisible(int item) {
    if (!m_view || item < 0 || item >= m_view->RowCount()) {
        return false;
    }
    m_view->EnsureVisible(item);
    return true;
}

void CListViewRecord::UserSelect(int item) {
    if (m_view && m_view->isEnabled() && item >= 0 && item < m_view->RowCount()) {
        m_view->SelectOnly(item);
    }
}
