#pragma once
// The records of the controls a template can hold, each wrapping the Qt widget that plays the
// control. Changes the program makes never notify; changes the user makes do, as on the device.

#include "platform/ui/DialogTemplate.h"
#include "platform/ui/UiConstants.h"
#include "platform/ui/qt/WindowRecord.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>

class CReportView;

// A control whose widget belongs to its dialog's widget.
class CControlRecord : public CWindowRecord {
public:
    CControlRecord(const ControlTemplate& control, CWindowRecord* dialog);
    ~CControlRecord() override;
    QWidget* Widget() const override { return m_widget; }
    ControlKind Kind() const { return m_kind; }
    DWORD Style() const { return m_style; }

protected:
    void SetWidget(QWidget* widget) { m_widget = widget; }
    // Position, size, enabling and keyboard focus, as every control takes them from its
    // template.
    static void Place(QWidget* widget, const ControlTemplate& control);

private:
    QPointer<QWidget> m_widget;
    ControlKind m_kind;
    DWORD m_style;
};

class CStaticRecord : public CControlRecord {
public:
    CStaticRecord(const ControlTemplate& control, CWindowRecord* dialog, QWidget* parent);
    CString Text() const override;
    void SetText(const CString& text) override;

private:
    QPointer<QLabel> m_label;
};

class CButtonRecord : public CControlRecord {
public:
    CButtonRecord(const ControlTemplate& control, CWindowRecord* dialog, QWidget* parent);
    CString Text() const override;
    void SetText(const CString& text) override;
    bool IsDefault() const;
    // What a tap on the button does: BN_CLICKED to the dialog, when the button is enabled.
    void Click();

private:
    QPointer<QPushButton> m_button;
};

class CGroupBoxRecord : public CControlRecord {
public:
    CGroupBoxRecord(const ControlTemplate& control, CWindowRecord* dialog, QWidget* parent);
    CString Text() const override;
    void SetText(const CString& text) override;

private:
    QPointer<QGroupBox> m_box;
};

class CEditRecord : public CControlRecord {
public:
    CEditRecord(const ControlTemplate& control, CWindowRecord* dialog, QWidget* parent);
    // The text with "\r\n" line breaks, as a multi-line edit gives it.
    CString Text() const override;
    void SetText(const CString& text) override;
    bool IsMultiLine() const { return m_multi != nullptr; }
    bool IsReadOnly() const;
    // 0 means no limit of the program's own.
    void SetLimit(int characters);
    int Limit() const { return m_limit; }
    // Puts text where the user would type it: replaces the selection, as typing does, and
    // notifies with EN_CHANGE. Read-only edits take nothing.
    void Type(const CString& text);

private:
    void EnforceLimit();

    QPointer<QLineEdit> m_line;
    QPointer<QPlainTextEdit> m_multi;
    int m_limit = 0;
    // Set while the program changes a multi-line edit's text, by a guard that puts it back.
    bool m_settingText = false;
};

// What a list box and a combo box share: a list of items, each a text with a number of the
// program's beside it, at most one of them selected, in the order the program puts them or
// sorted when the style asks. The user's selection notifies with the control's own code; the
// program's changes never do. The control's widget does the rest through the hooks below.
class CItemListRecord : public CControlRecord {
public:
    int AddString(const CString& text);
    int InsertString(int index, const CString& text);
    // Returns the number of items left, or LB_ERR.
    int DeleteString(int index);
    void ResetContent();
    int Count() const;
    // The selected item, or LB_ERR when none is.
    int CurSel() const;
    // -1 clears the selection (and returns LB_ERR, as does an index out of range).
    int SetCurSel(int index);
    CString ItemText(int index) const;
    bool SetItemData(int index, DWORD_PTR data);
    DWORD_PTR ItemData(int index) const;
    // A selection the user makes, on an enabled control: the notification follows.
    void UserSelect(int index);

protected:
    CItemListRecord(const ControlTemplate& control, CWindowRecord* dialog, bool sorted,
                    WORD selectionChange);
    // The widget's own model, which holds the items' texts and data.
    void SetItems(QAbstractItemModel* items) { m_items = items; }
    // What the widget's signal of a changed selection calls.
    void SelectionChanged();

private:
    // The widget and its model are there: neither has gone with the dialog's widgets.
    bool IsLive() const { return m_items && Widget() != nullptr; }
    bool Contains(int index) const { return IsLive() && index >= 0 && index < Count(); }
    QString Label(int index) const;
    // Where a new item goes in a sorted list: after every item equal to it, case aside.
    int SortedPosition(const QString& label) const;

    virtual void InsertItem(int at, const QString& text) = 0;
    // -1 when no item is selected.
    virtual int SelectedItem() const = 0;
    // The program's selection: -1 clears it.
    virtual void SelectItem(int index) = 0;
    // What a tap on a row does.
    virtual void PickItem(int index) = 0;

    QPointer<QAbstractItemModel> m_items;
    bool m_sorted;
    WORD m_selectionChange;
    // Set while the program changes the items or the selection, by a guard that puts it back
    // however the change ends.
    bool m_programChange = false;
};

class CListBoxRecord : public CItemListRecord {
public:
    CListBoxRecord(const ControlTemplate& control, CWindowRecord* dialog, QWidget* parent);

private:
    void InsertItem(int at, const QString& text) override;
    int SelectedItem() const override;
    void SelectItem(int index) override;
    void PickItem(int index) override;

    QPointer<QListWidget> m_list;
};

class CComboBoxRecord : public CItemListRecord {
public:
    CComboBoxRecord(const ControlTemplate& control, CWindowRecord* dialog, QWidget* parent);
    CString Text() const override;
    // Selects the item with this text, or none.
    void SetText(const CString& text) override;

private:
    void InsertItem(int at, const QString& text) override;
    int SelectedItem() const override;
    void SelectItem(int index) override;
    void PickItem(int index) override;

    QPointer<QComboBox> m_combo;
};

class CListViewRecord : public CControlRecord {
public:
    CListViewRecord(const ControlTemplate& control, CWindowRecord* dialog, QWidget* parent);
    DWORD ExtendedStyle() const { return m_extendedStyle; }
    void SetExtendedStyle(DWORD style);
    int InsertColumn(int column, const CString& heading, int format, int width);
    int ColumnCount() const;
    CString ColumnHeading(int column) const;
    int ColumnWidth(int column) const;
    int InsertItem(int index, const CString& text);
    bool SetItemText(int item, int subItem, const CString& text);
    CString ItemText(int item, int subItem) const;
    bool DeleteAllItems();
    int ItemCount() const;
    int SelectedCount() const;
    UINT ItemState(int item, UINT mask) const;
    bool SetItemState(int item, UINT state, UINT mask);
    bool EnsureVisible(int item);
    void UserSelect(int item);

private:
    QPointer<CReportView> m_view; // see ListViewRecord.cpp
    DWORD m_extendedStyle = 0;
};

// The least height of a row of a list box or a drop-down list whose text has these metrics: a
// quarter more than the text.
int ListRowHeight(const QFontMetrics& metrics);

// Builds the control a template describes, as a child of the dialog's widget.
std::unique_ptr<CControlRecord> CreateControl(const ControlTemplate& control, CWindowRecord* dialog,
                                              QWidget* parent);
