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

// ---- CListBox and CComboBox ---------------------------------------------------------------

static_assert(LB_ERR == CB_ERR, "a list box and a combo box answer errors alike");

template <class ListRecord> ListRecord* CItemList<ListRecord>::Items() const {
    return RecordOf<ListRecord>(*this);
}

template <class ListRecord> int CItemList<ListRecord>::AddString(const CString& text) {
    auto* items = Items();
    return items != nullptr ? items->AddString(text) : LB_ERR;
}

template <class ListRecord>
int CItemList<ListRecord>::InsertString(int index, const CString& text) {
    auto* items = Items();
    return items != nullptr ? items->InsertString(index, text) : LB_ERR;
}

template <class ListRecord> int CItemList<ListRecord>::DeleteString(int index) {
    auto* items = Items();
    return items != nullptr ? items->DeleteString(index) : LB_ERR;
}

template <class ListRecord> void CItemList<ListRecord>::ResetContent() {
    if (auto* items = Items()) {
        items->ResetContent();
    }
}

template <class ListRecord> int CItemList<ListRecord>::GetCount() const {
    const auto* items = Items();
    return items != nullptr ? items->Count() : LB_ERR;
}

template <class ListRecord> int CItemList<ListRecord>::GetCurSel() const {
    const auto* items = Items();
    return items != nullptr ? items->CurSel() : LB_ERR;
}

template <class ListRecord> int CItemList<ListRecord>::SetCurSel(int index) {
    auto* items = Items();
    return items != nullptr ? items->SetCurSel(index) : LB_ERR;
}

template <class ListRecord> int CItemList<ListRecord>::SetItemData(int index, DWORD_PTR data) {
    auto* items = Items();
    return items != nullptr && items->SetItemData(index, data) ? 0 : LB_ERR;
}

template <class ListRecord> DWORD_PTR CItemList<ListRecord>::GetItemData(int index) const {
    const auto* items = Items();
    return items != nullptr ? items->ItemData(index) : static_cast<DWORD_PTR>(LB_ERR);
}

template <class ListRecord> CString CItemList<ListRecord>::ItemText(int index) const {
    const auto* items = Items();
    return items != nullptr ? items->ItemText(index) : CString();
}

template class CItemList<CListBoxRecord>;
template class CItemList<CComboBoxRecord>;

void CListBox::GetText(int index, CString& text) const {
    text = ItemText(index);
}

int CListBox::GetTextLen(int index) const {
    const auto* list = Items();
    if (list == nullptr || index < 0 || index >= list->Count()) {
        return LB_ERR;
    }
    return list->ItemText(index).GetLength();
}

void CComboBox::GetLBText(int index, CString& text) const {
    text = ItemText(index);
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

BOOL CListCtrl::EnsureVisible(int item, BOOL) {
    auto* view = RecordOf<CListViewRecord>(*this);
    return view != nullptr && view->EnsureVisible(item);
}
