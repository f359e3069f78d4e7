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
    bool m_settingText = false;
};

class CListBoxRecord : public CControlRecord {
public:
    CListBoxRecord(const ControlTemplate& control, CWindowRecord* dialog, QWidget* parent);
    int AddString(const CString& text);
    int InsertString(int index, const CString& text);
    int DeleteString(int index);
    void ResetContent();
    int Count() const;
    int CurSel() const;
    int SetCurSel(int index);
    CString ItemText(int index) const;
    bool SetItemData(int index, DWORD_PTR data);
    DWORD_PTR ItemData(int index) const;
    // A selection the user makes: LBN_SELCHANGE follows when the list notifies.
    void UserSelect(int index);

private:
    QPointer<QListWidget> m_list;
    bool m_sorted;
    bool m_programChange = false;
};

class CComboBoxRecord : public CControlRecord {
public:
    CComboBoxRecord(const ControlTemplate& control, CWindowRecord* dialog, QWidget* parent);
    CString Text() const override;
    void SetText(const CString& text) override;
    int AddString(const CString& text);
    int InsertString(int index, const CString& text);
    int DeleteString(int index);
    void ResetContent();
    int Count() const;
    int CurSel() const;
    int SetCurSel(int index);
    CString ItemText(int index) const;
    bool SetItemData(int index, DWORD_PTR data);
    DWORD_PTR ItemData(int index) const;
    void UserSelect(int index);

private:
    QPointer<QComboBox> m_combo;
    bool m_sorted;
    bool m_programChange = false;
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
