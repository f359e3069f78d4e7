#pragma once
// The program's objects for the controls of a dialog, attached with DDX_Control. Window text and
// enabling come from CWnd. Changes made through these never notify the dialog; only the user's
// do.

#include "platform/ui/Wnd.h"

class CStatic : public CWnd {};

class CButton : public CWnd {};

class CEdit : public CWnd {
public:
    // The most characters the user can type; 0 lifts the limit. Text already there stays.
    void SetLimitText(UINT nMax);
    UINT GetLimitText() const;
};

class CListBoxRecord;
class CComboBoxRecord;

// What a list box and a combo box have in common. `ListRecord` keeps each class to its own kind of
// control: a list box object attached to a combo box finds nothing, as before. The errors are
// LB_ERR and CB_ERR, which are the same number.
template <class ListRecord> class CItemList : public CWnd {
public:
    // Each returns the new entry's index, or LB_ERR.
    int AddString(const CString& text);
    int InsertString(int index, const CString& text);
    // Returns the number of entries left, or LB_ERR.
    int DeleteString(int index);
    void ResetContent();
    int GetCount() const;
    // The selected entry, or LB_ERR when none is.
    int GetCurSel() const;
    // -1 clears the selection (and returns LB_ERR, as does an index out of range).
    int SetCurSel(int index);
    int SetItemData(int index, DWORD_PTR data);
    DWORD_PTR GetItemData(int index) const;

protected:
    // The entry's text; empty for an index out of range.
    CString ItemText(int index) const;
    ListRecord* Items() const;
};

// Its members are defined in Controls.cpp, for these two records only.
extern template class CItemList<CListBoxRecord>;
extern template class CItemList<CComboBoxRecord>;

class CListBox : public CItemList<CListBoxRecord> {
public:
    void GetText(int index, CString& text) const;
    // LB_ERR for an index out of range.
    int GetTextLen(int index) const;
};

class CComboBox : public CItemList<CComboBoxRecord> {
public:
    void GetLBText(int index, CString& text) const;
};

// The list view in report view: columns with headings, rows of texts, row states.
class CListCtrl : public CWnd {
public:
    DWORD GetExtendedStyle() const;
    DWORD SetExtendedStyle(DWORD style); // returns the previous style
    // Returns the new column's index, or -1.
    int InsertColumn(int column, const CString& heading, int format = LVCFMT_LEFT, int width = -1);
    // Returns the new row's index, or -1.
    int InsertItem(int item, const CString& text);
    BOOL SetItemText(int item, int subItem, const CString& text);
    CString GetItemText(int item, int subItem) const;
    BOOL DeleteAllItems();
    int GetItemCount() const;
    UINT GetSelectedCount() const;
    // The row's LVIS_SELECTED and LVIS_FOCUSED bits, within `mask`.
    UINT GetItemState(int item, UINT mask) const;
    BOOL SetItemState(int item, UINT state, UINT mask);
    // Scrolls the list so that the row shows whole.
    BOOL EnsureVisible(int item, BOOL partialOK);
};
