#include "platform/ui/qt/ControlRecords.h"

#include "platform/ui/qt/QtText.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopedValueRollback>
#include <QStyledItemDelegate>
#include <QValidator>

namespace {

QRect PixelRect(const ControlTemplate& control) {
    return {DialogUnitsToPixels(control.x), DialogUnitsToPixels(control.y),
            DialogUnitsToPixels(control.cx), DialogUnitsToPixels(control.cy)};
}

Qt::ScrollBarPolicy ScrollPolicy(DWORD style, DWORD scrollBit) {
    return (style & scrollBit) != 0 ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff;
}

// The handheld's upper-case edits change ASCII letters only.
QString AsciiUpper(QString text) {
    for (QChar& ch : text) {
        if (ch >= QLatin1Char('a') && ch <= QLatin1Char('z')) {
            ch = QChar(ch.unicode() - 'a' + 'A');
        }
    }
    return text;
}

// Edits keep "\r\n" line breaks in the program's text; the widget keeps "\n".
QString WidgetLines(const CString& text) {
    QString lines = ToQString(text);
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines;
}

CString ProgramLines(const QString& lines) {
    QString text = lines;
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return FromQString(text);
}

// What the user types into a single-line edit: upper-cased when the edit asks for it, and
// refused once it would grow past the program's limit. Text the program sets is not checked,
// so a limit never cuts what is already there.
class CEditValidator : public QValidator {
public:
    CEditValidator(QLineEdit* edit, bool upper, const int* limit)
        : QValidator(edit), m_upper(upper), m_limit(limit), m_length(edit->text().size()) {
        QObject::connect(edit, &QLineEdit::textChanged, this,
                         [this](const QString& text) { m_length = text.size(); });
    }

    State validate(QString& input, int& position) const override {
        if (m_upper) {
            input = AsciiUpper(input);
        }
        // What was just put in ends at the cursor: as much of it is dropped as goes over the
        // limit, never text that was there before.
        const qsizetype allowed = std::max<qsizetype>(*m_limit, m_length);
        if (*m_limit > 0 && input.size() > allowed) {
            const qsizetype excess = std::min<qsizetype>(input.size() - allowed, position);
            input.remove(position - excess, excess);
            position -= static_cast<int>(excess);
        }
        return Acceptable;
    }

private:
    bool m_upper;
    const int* m_limit;
    qsizetype m_length; // the text's length before the change being checked
};

// Rows of list boxes at least a quarter taller than their text, so that the glyphs of one row
// never meet the next; items are drawn centred in their row's height. (A combo box's drop-down
// list keeps the style's own rows, taller still.)
class CRowDelegate : public QStyledItemDelegate {
public:
    CRowDelegate(int rowHeight, QObject* parent)
        : QStyledItemDelegate(parent), m_rowHeight(rowHeight) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(std::max(size.height(), m_rowHeight));
        return size;
    }

private:
    int m_rowHeight;
};

// Gives the list box rows of at least ListRowHeight that share out its height, and ends the
// list with its last whole row: a sliver of one more row would show glyphs cut in half.
void SpaceRows(QListWidget* list) {
    const int least = ListRowHeight(list->fontMetrics());
    const int room = list->contentsRect().height();
    const int rows = std::max(1, room / least);
    const int row = std::max(least, room / rows);
    list->setItemDelegate(new CRowDelegate(row, list));
    if (rows * row < room) {
        list->resize(list->width(), list->height() - (room - rows * row));
    }
}

} // namespace

int ListRowHeight(const QFontMetrics& metrics) {
    const int text = metrics.height();
    int row = (text * 5 + 3) / 4;
    if ((row - text) % 2 != 0) {
        ++row; // as much room above the text as below it
    }
    return row;
}

// ---- CControlRecord -----------------------------------------------------------------------

CControlRecord::CControlRecord(const ControlTemplate& control, CWindowRecord* dialog)
    : CWindowRecord(control.id, dialog), m_kind(control.kind), m_style(control.style) {}

CControlRecord::~CControlRecord() {
    BeginDestruction();
}

void CControlRecord::Place(QWidget* widget, const ControlTemplate& control) {
    widget->setGeometry(PixelRect(control));
    widget->setEnabled((control.style & WS_DISABLED) == 0);
    widget->setFocusPolicy((control.style & WS_TABSTOP) != 0 ? Qt::StrongFocus : Qt::ClickFocus);
}

// ---- Static -------------------------------------------------------------------------------

CStaticRecord::CStaticRecord(const ControlTemplate& control, CWindowRecord* dialog, QWidget* parent)
    : CControlRecord(control, dialog) {
    m_label = new QLabel(ToQString(control.text), parent);
    m_label->setTextFormat(Qt::PlainText);
    const DWORD align = control.style & SS_TYPEMASK;
    const Qt::Alignment horizontal = align == SS_RIGHT    ? Qt::AlignRight
                                     : align == SS_CENTER ? Qt::AlignHCenter
                                                          : Qt::AlignLeft;
    const bool centredVertically = (control.style & SS_CENTERIMAGE) != 0;
    m_label->setAlignment(horizontal | (centredVertically ? Qt::AlignVCenter : Qt::AlignTop));
    m_label->setWordWrap(!centredVertically);
    if ((control.style & WS_BORDER) != 0) {
        m_label->setFrameShape(QFrame::Box);
        m_label->setLineWidth(1);
        m_label->setMargin(1);
    }
    Place(m_label, control);
    m_label->setFocusPolicy(Qt::NoFocus);
    SetWidget(m_label);
}

CString CStaticRecord::Text() const {
    return m_label ? FromQString(m_label->text()) : CString();
}

void CStaticRecord::SetText(const CString& text) {
    if (m_label) {
        m_label->setText(ToQString(text));
    }
}

// ---- Push button and group box ------------------------------------------------------------

CButtonRecord::CButtonRecord(const ControlTemplate& control, CWindowRecord* dialog, QWidget* parent)
    : CControlRecord(control, dialog) {
    m_button = new QPushButton(ToQString(control.text), parent);
    m_button->setAutoDefault(false);
    m_button->setDefault((control.style & BS_TYPEMASK) == BS_DEFPUSHBUTTON);
    Place(m_button, control);
    QObject::connect(m_button, &QPushButton::clicked, m_button, [this] { Notify(BN_CLICKED); });
    SetWidget(m_button);
}

CString CButtonRecord::Text() const {
    return m_button ? FromQString(m_button->text()) : CString();
}

void CButtonRecord::SetText(const CString& text) {
    if (m_button) {
        m_button->setText(ToQString(text));
    }
}

bool CButtonRecord::IsDefault() const {
    return m_button && m_button->isDefault();
}

void CButtonRecord::Click() {
    if (m_button && m_button->isEnabled()) {
        m_button->click();
    }
}

CGroupBoxRecord::CGroupBoxRecord(const ControlTemplate& control, CWindowRecord* dialog,
                                 QWidget* parent)
    : CControlRecord(control, dialog) {
    m_box = new QGroupBox(ToQString(control.text), parent);
    Place(m_box, control);
    m_box->setFocusPolicy(Qt::NoFocus);
    // A frame drawn around other controls: it never takes their taps and stays behind them.
    m_box->setAttribute(Qt::WA_TransparentForMouseEvents);
    m_box->lower();
    SetWidget(m_box);
}

CString CGroupBoxRecord::Text() const {
    return m_box ? FromQString(m_box->title()) : CString();
}

void CGroupBoxRecord::SetText(const CString& text) {
    if (m_box) {
        m_box->setTitle(ToQString(text));
    }
}

// ---- Edit ---------------------------------------------------------------------------------

CEditRecord::CEditRecord(const ControlTemplate& control, CWindowRecord* dialog, QWidget* parent)
    : CControlRecord(control, dialog) {
    const bool readOnly = (control.style & ES_READONLY) != 0;
    if ((control.style & ES_MULTILINE) != 0) {
        m_multi = new QPlainTextEdit(parent);
        m_multi->setReadOnly(readOnly);
        m_multi->setLineWrapMode((control.style & ES_AUTOHSCROLL) != 0
                                     ? QPlainTextEdit::NoWrap
                                     : QPlainTextEdit::WidgetWidth);
        m_multi->setVerticalScrollBarPolicy(ScrollPolicy(control.style, WS_VSCROLL));
        m_multi->setHorizontalScrollBarPolicy(ScrollPolicy(control.style, WS_HSCROLL));
        m_multi->setFrameShape((control.style & WS_BORDER) != 0 ? QFrame::Box : QFrame::NoFrame);
        m_multi->setTabChangesFocus(true);
        m_multi->setPlainText(ToQString(control.text));
        // A multi-line edit notifies what the user changes, not what the program sets.
        QObject::connect(m_multi, &QPlainTextEdit::textChanged, m_multi, [this] {
            if (!m_settingText) {
                EnforceLimit();
                Notify(EN_CHANGE);
            }
        });
        Place(m_multi, control);
        SetWidget(m_multi);
        return;
    }
    m_line = new QLineEdit(ToQString(control.text), parent);
    m_line->setReadOnly(readOnly);
    m_line->setFrame((control.style & WS_BORDER) != 0);
    m_line->setMaxLength(32767);
    m_line->setValidator(new CEditValidator(m_line, (control.style & ES_UPPERCASE) != 0, &m_limit));
    // A single-line edit notifies every change of its text, the program's included.
    QObject::connect(m_line, &QLineEdit::textChanged, m_line, [this] { Notify(EN_CHANGE); });
    Place(m_line, control);
    SetWidget(m_line);
}

CString CEditRecord::Text() const {
    if (m_multi) {
        return ProgramLines(m_multi->toPlainText());
    }
    return m_line ? FromQString(m_line->text()) : CString();
}

void CEditRecord::SetText(const CString& text) {
    if (m_multi) {
        const QString lines = WidgetLines(text);
        if (lines != m_multi->toPlainText()) {
            const QScopedValueRollback quiet(m_settingText, true);
            m_multi->setPlainText(lines);
        }
    } else if (m_line && m_line->text() != ToQString(text)) {
        m_line->setText(ToQString(text));
    }
}

bool CEditRecord::IsReadOnly() const {
    return m_multi ? m_multi->isReadOnly() : (m_line && m_line->isReadOnly());
}

void CEditRecord::SetLimit(int characters) {
    m_limit = characters > 0 ? characters : 0;
}

void CEditRecord::EnforceLimit() {
    if (!m_multi || m_limit <= 0 || m_multi->toPlainText().size() <= m_limit) {
        return;
    }
    // Typing past the limit takes back what went over it, as the device refuses the keys.
    QTextCursor cursor = m_multi->textCursor();
    const int excess = static_cast<int>(m_multi->toPlainText().size()) - m_limit;
    const QScopedValueRollback quiet(m_settingText, true);
    cursor.movePosition(QTextCursor::Left, QTextCursor::KeepAnchor, excess);
    cursor.removeSelectedText();
}

void CEditRecord::Type(const CString& text) {
    if (IsReadOnly()) {
        return;
    }
    if (m_multi) {
        m_multi->textCursor().insertText(WidgetLines(text));
    } else if (m_line) {
        m_line->insert(ToQString(text));
    }
}

// ---- List box and combo box --------------------------------------------------------------

CItemListRecord::CItemListRecord(const ControlTemplate& control, CWindowRecord* dialog, bool sorted,
                                 WORD selectionChange)
    : CControlRecord(control, dialog), m_sorted(sorted), m_selectionChange(selectionChange) {}

int CItemListRecord::AddString(const CString& text) {
    return InsertString(-1, text);
}

int CItemListRecord::InsertString(int index, const CString& text) {
    if (!IsLive()) {
        return LB_ERR;
    }
    const QString label = ToQString(text);
    const int count = Count();
    int at = index < 0 || index > count ? count : index;
    if (m_sorted && index < 0) {
        at = SortedPosition(label);
    }
    const QScopedValueRollback quiet(m_programChange, true);
    InsertItem(at, label);
    return at;
}

int CItemListRecord::SortedPosition(const QString& label) const {
    int index = 0;
    while (index < Count() && Label(index).compare(label, Qt::CaseInsensitive) <= 0) {
        ++index;
    }
    return index;
}

int CItemListRecord::DeleteString(int index) {
    if (!Contains(index)) {
        return LB_ERR;
    }
    const QScopedValueRollback quiet(m_programChange, true);
    m_items->removeRow(index);
    return Count();
}

void CItemListRecord::ResetContent() {
    if (IsLive()) {
        const QScopedValueRollback quiet(m_programChange, true);
        m_items->removeRows(0, Count());
    }
}

int CItemListRecord::Count() const {
    return IsLive() ? m_items->rowCount() : 0;
}

int CItemListRecord::CurSel() const {
    const int selected = IsLive() ? SelectedItem() : -1;
    return selected >= 0 ? selected : LB_ERR;
}

int CItemListRecord::SetCurSel(int index) {
    if (!IsLive()) {
        return LB_ERR;
    }
    const bool valid = Contains(index);
    const QScopedValueRollback quiet(m_programChange, true);
    SelectItem(valid ? index : -1);
    return valid ? index : LB_ERR;
}

CString CItemListRecord::ItemText(int index) const {
    return Contains(index) ? FromQString(Label(index)) : CString();
}

bool CItemListRecord::SetItemData(int index, DWORD_PTR data) {
    return Contains(index) && m_items->setData(m_items->index(index, 0),
                                               QVariant::fromValue<qulonglong>(data), Qt::UserRole);
}

DWORD_PTR CItemListRecord::ItemData(int index) const {
    if (!Contains(index)) {
        return static_cast<DWORD_PTR>(LB_ERR);
    }
    return static_cast<DWORD_PTR>(m_items->index(index, 0).data(Qt::UserRole).toULongLong());
}

void CItemListRecord::UserSelect(int index) {
    if (Contains(index) && Widget()->isEnabled()) {
        PickItem(index);
    }
}

void CItemListRecord::SelectionChanged() {
    if (!m_programChange) {
        Notify(m_selectionChange);
    }
}

QString CItemListRecord::Label(int index) const {
    return m_items->index(index, 0).data(Qt::DisplayRole).toString();
}

// ---- List box -----------------------------------------------------------------------------

CListBoxRecord::CListBoxRecord(const ControlTemplate& control, CWindowRecord* dialog,
                               QWidget* parent)
    : CItemListRecord(control, dialog, (control.style & LBS_SORT) != 0, LBN_SELCHANGE) {
    m_list = new QListWidget(parent);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setVerticalScrollBarPolicy(ScrollPolicy(control.style, WS_VSCROLL));
    m_list->setHorizontalScrollBarPolicy(ScrollPolicy(control.style, WS_HSCROLL));
    m_list->setFrameShape((control.style & WS_BORDER) != 0 ? QFrame::Box : QFrame::NoFrame);
    m_list->setUniformItemSizes(true);
    if ((control.style & LBS_NOTIFY) != 0) {
        QObject::connect(m_list, &QListWidget::itemSelectionChanged, m_list,
                         [this] { SelectionChanged(); });
    }
    Place(m_list, control);
    SpaceRows(m_list);
    SetItems(m_list->model());
    SetWidget(m_list);
}

void CListBoxRecord::InsertItem(int at, const QString& text) {
    m_list->insertItem(at, text);
}

int CListBoxRecord::SelectedItem() const {
    const QList<QListWidgetItem*> selected = m_list->selectedItems();
    return selected.isEmpty() ? -1 : m_list->row(selected.front());
}

void CListBoxRecord::SelectItem(int index) {
    m_list->clearSelection();
    if (index >= 0) {
        m_list->setCurrentRow(index);
        m_list->scrollToItem(m_list->item(index));
    }
}

void CListBoxRecord::PickItem(int index) {
    m_list->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
}

// ---- Combo box ----------------------------------------------------------------------------

CComboBoxRecord::CComboBoxRecord(const ControlTemplate& control, CWindowRecord* dialog,
                                 QWidget* parent)
    : CItemListRecord(control, dialog, (control.style & CBS_SORT) != 0, CBN_SELCHANGE) {
    m_combo = new QComboBox(parent);
    m_combo->setEditable(false);
    Place(m_combo, control);
    // The template's height is that of the open list; the closed box is one line high.
    const QRect area = PixelRect(control);
    const int closedHeight = std::min(area.height(), m_combo->sizeHint().height());
    m_combo->setGeometry(area.x(), area.y(), area.width(), closedHeight);
    const int lineHeight = ListRowHeight(m_combo->fontMetrics());
    m_combo->setMaxVisibleItems(std::max(3, (area.height() - closedHeight) / lineHeight));
    QObject::connect(m_combo, &QComboBox::currentIndexChanged, m_combo,
                     [this] { SelectionChanged(); });
    SetItems(m_combo->model());
    SetWidget(m_combo);
}

CString CComboBoxRecord::Text() const {
    return m_combo ? FromQString(m_combo->currentText()) : CString();
}

void CComboBoxRecord::SetText(const CString& text) {
    if (m_combo) {
        SetCurSel(m_combo->findText(ToQString(text), Qt::MatchExactly));
    }
}

void CComboBoxRecord::InsertItem(int at, const QString& text) {
    // Qt selects the first item put into an empty box; the device leaves it unselected.
    const int selected = m_combo->currentIndex();
    m_combo->insertItem(at, text);
    m_combo->setCurrentIndex(selected < 0 ? -1 : (selected >= at ? selected + 1 : selected));
}

int CComboBoxRecord::SelectedItem() const {
    return m_combo->currentIndex();
}

void CComboBoxRecord::SelectItem(int index) {
    m_combo->setCurrentIndex(index);
}

void CComboBoxRecord::PickItem(int index) {
    m_combo->setCurrentIndex(index);
}

// ---- Factory ------------------------------------------------------------------------------

std::unique_ptr<CControlRecord> CreateControl(const ControlTemplate& control, CWindowRecord* dialog,
                                              QWidget* parent) {
    switch (control.kind) {
    case ControlKind::Static:
        return std::make_unique<CStaticRecord>(control, dialog, parent);
    case ControlKind::Edit:
        return std::make_unique<CEditRecord>(control, dialog, parent);
    case ControlKind::PushButton:
        return std::make_unique<CButtonRecord>(control, dialog, parent);
    case ControlKind::GroupBox:
        return std::make_unique<CGroupBoxRecord>(control, dialog, parent);
    case ControlKind::ListBox:
        return std::make_unique<CListBoxRecord>(control, dialog, parent);
    case ControlKind::ComboBox:
        return std::make_unique<CComboBoxRecord>(control, dialog, parent);
    case ControlKind::ListView:
        return std::make_unique<CListViewRecord>(control, dialog, parent);
    }
    return nullptr;
}
