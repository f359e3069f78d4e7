#include "platform/ui/Controls.h"

#include "platform/ui/qt/ControlRecords.h"

namespace {

template <class RecordType> RecordType* RecordOf(const CWnd& control) {
    return dynamic_cast<RecordType*>(CWindowRecord::FromHandle(control.GetSafeHwnd()));
}

} // namespace

// ---- CEdit --------------------------------------------------------------------------------

void CEdit::SetLimitText(UINT nMax) {
    if (auto* edit = RecordOf<CEditRecord>(*this)) {
        edit->SetLimit(static_cast<int>(nMax));
    }
}

UINT CEdit::GetLimitText() const {
    const auto* edit = RecordOf<CEditRecord>(*this);
    return edit != nullptr ? static_cast<UINT>(edit->Limit()) : 0;
}

// ---- CListBox -----------------------------------------------------------------------------

int CListBox::AddString(const CString& text) {
    auto* list = RecordOf<CListBoxRecord>(*this);
    return list != nullptr ? list->AddString(text) : LB_ERR;
}

int CListBox::InsertString(int index, const CString& text) {
    auto* list = RecordOf<CListBoxRecord>(*this);
    return list != nullptr ? list->InsertString(index, text) : LB_ERR;
}

int CListBox::DeleteString(int index) {
    auto* list = RecordOf<CListBoxRecord>(*this);
    return list != nullptr ? list->DeleteString(index) : LB_ERR;
}

void CListBox::ResetContent() {
    if (auto* list = RecordOf<CListBoxRecord>(*this)) {
        list->ResetContent();
    }
}

int CListBox::GetCount() const {
    const auto* list = RecordOf<CListBoxRecord>(*this);
    return list != nullptr ? list->Count() : LB_ERR;
}

int CListBox::GetCurSel() const {
    const auto* list = RecordOf<CListBoxRecord>(*this);
    return list != nullptr ? list->CurSel() : LB_ERR;
}

int CListBox::SetCurSel(int index) {
    auto* list = RecordOf<CListBoxRecord>(*this);
    return list != nullptr ? list->SetCurSel(index) : LB_ERR;
}

void CListBox::GetText(int index, CString& text) const {
    const auto* list = RecordOf<CListBoxRecord>(*this);
    text = list != nullptr ? list->ItemText(index) : CString();
}

int CListBox::GetTextLen(int index) const {
    const auto* list = RecordOf<CListBoxRecord>(*this);
    if (list == nullptr || index < 0 || index >= list->Count()) {
        return LB_ERR;
    }
    return list->ItemText(index).GetLength();
}

int CListBox::SetItemData(int index, DWORD_PTR data) {
    auto* list = RecordOf<CListBoxRecord>(*this);
    return list != nullptr && list->SetItemData(index, data) ? 0 : LB_ERR;
}

DWORD_PTR CListBox::GetItemData(int index) const {
    const auto* list = RecordOf<CListBoxRecord>(*this);
    return list != nullptr ? list->ItemData(index) : static_cast<DWORD_PTR>(LB_ERR);
}

// ---- CComboBox ----------------------------------------------------------------------------

int CComboBox::AddString(const CString& text) {
    auto* combo = RecordOf<CComboBoxRecord>(*this);
    return combo != nullptr ? combo->AddString(text) : CB_ERR;
}

int CComboBox::InsertString(int index, const CString& text) {
    auto* combo = RecordOf<CComboBoxRecord>(*this);
    return combo != nullptr ? combo->InsertString(index, text) : CB_ERR;
}

int CComboBox::DeleteString(int index) {
    auto* combo = RecordOf<CComboBoxRecord>(*this);
    return combo != nullptr ? combo->DeleteString(index) : CB_ERR;
}

void CComboBox::ResetContent() {
    if (auto* combo = RecordOf<CComboBoxRecord>(*this)) {
        combo->ResetContent();
    }
}

int CComboBox::GetCount() const {
    const auto* combo = RecordOf<CComboBoxRecord>(*this);
    return combo != nullptr ? combo->Count() : CB_ERR;
}

int CComboBox::GetCurSel() const {
    const auto* combo = RecordOf<CComboBoxRecord>(*this);
    return combo != nullptr ? combo->CurSel() : CB_ERR;
}

int CComboBox::SetCurSel(int index) {
    auto* combo = RecordOf<CComboBoxRecord>(*this);
    return combo != nullptr ? combo->SetCurSel(index) : CB_ERR;
}

void CComboBox::GetLBText(int index, CString& text) const {
    const auto* combo = RecordOf<CComboBoxRecord>(*this);
    text = combo != nullptr ? combo->ItemText(index) : CString();
}

int CComboBox::SetItemData(int index, DWORD_PTR data) {
    auto* combo = RecordOf<CComboBoxRecord>(*this);
    return combo != nullptr && combo->SetItemData(index, data) ? 0 : CB_ERR;
}

DWORD_PTR CComboBox::GetItemData(int index) const {
    const auto* combo = RecordOf<CComboBoxRecord>(*this);
    return combo != nullptr ? combo->ItemData(index) : static_cast<DWORD_PTR>(CB_ERR);
}

// ---- CListCtrl ----------------------------------------------------------------------------

DWORD CListCtrl::GetExtendedStyle() const {
    const auto* view = RecordOf<CListViewRecord>(*this);
    return view != nullptr ? view->ExtendedStyle() : 0;
}

DWORD CListCtrl::SetExtendedStyle(DWORD style) {
    auto* view = RecordOf<CListViewRecord>(*this);
    if (view == nullptr) {
        return 0;
    }
    const DWORD previous = view->ExtendedStyle();
    view->SetExtendedStyle(style);
    return previous;
}

int CListCtrl::InsertColumn(int column, const CString& heading, int format, int width) {
    auto* view = RecordOf<CListViewRecord>(*this);
    return view != nullptr ? view->InsertColumn(column, heading, format, width) : -1;
}

int CListCtrl::InsertItem(int item, const CString& text) {
    auto* view = RecordOf<CListViewRecord>(*this);
    return view != nullptr ? view->InsertItem(item, text) : -1;
}

BOOL CListCtrl::SetItemText(int item, int subItem, const CString& text) {
    auto* view = RecordOf<CListViewRecord>(*this);
    return view != nullptr && view->SetItemText(item, subItem, text);
}

CString CListCtrl::GetItemText(int item, int subItem) const {
    const auto* view = RecordOf<CListViewRecord>(*this);
    return view != nullptr ? view->ItemText(item, subItem) : CString();
}

BOOL CListCtrl::DeleteAllItems() {
    auto* view = RecordOf<CListViewRecord>(*this);
    return view != nullptr && view->DeleteAllItems();
}

int CListCtrl::GetItemCount() const {
    const auto* view = RecordOf<CListViewRecord>(*this);
    return view != nullptr ? view->ItemCount() : 0;
}

UINT CListCtrl::GetSelectedCount() const {
    const auto* view = RecordOf<CListViewRecord>(*this);
    return view != nullptr ? static_cast<UINT>(view->SelectedCount()) : 0;
}

UINT CListCtrl::GetItemState(int item, UINT mask) const {
    const auto* view = RecordOf<CListViewRecord>(*this);
    return view != nullptr ? view->ItemState(item, mask) : 0;
}

BOOL CListCtrl::SetItemState(int item, UINT state, UINT mask) {
    auto* view = RecordOf<CListViewRecord>(*this);
    return view != nullptr && view->SetItemState(item, state, mask);
}
