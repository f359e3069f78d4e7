#include "platform/ui/Wnd.h"

#include "platform/core/Services.h"

#include "platform/ui/qt/QtText.h"
#include "platform/ui/qt/WindowRecord.h"

#include <QWidget>

#include <memory>

namespace {

// The object that stands for the window of `record`: the attached one, or else a temporary one
// that lives as long as the window. Null for no window.
CWnd* ObjectOf(CWindowRecord* record) {
    if (record == nullptr) {
        return nullptr;
    }
    if (record->Object() == nullptr) {
        record->KeepTemporary(std::make_unique<CWnd>());
    }
    return dynamic_cast<CWnd*>(record->Object()); // every object attached to a window is a CWnd
}

} // namespace

CWnd::~CWnd() {
    if (CWindowRecord* record = Record()) {
        record->Detach(this);
    }
}

CWindowRecord* CWnd::Record() const {
    return CWindowRecord::FromHandle(m_hWnd);
}

CWnd* CWnd::FromHandle(HWND hWnd) {
    return ObjectOf(CWindowRecord::FromHandle(hWnd));
}

BOOL CWnd::SubclassWindow(HWND hWnd) {
    CWindowRecord* record = CWindowRecord::FromHandle(hWnd);
    return record != nullptr && record->Attach(this);
}

BOOL CWnd::SubclassDlgItem(int id, CWnd* parent) {
    CWindowRecord* dialog = parent != nullptr ? parent->Record() : nullptr;
    CWindowRecord* control = dialog != nullptr ? dialog->Child(id) : nullptr;
    return control != nullptr && SubclassWindow(control->Handle());
}

int CWnd::GetDlgCtrlID() const {
    const CWindowRecord* record = Record();
    return record != nullptr ? record->Id() : 0;
}

CWnd* CWnd::GetDlgItem(int id) const {
    const CWindowRecord* record = Record();
    CWindowRecord* control = record != nullptr ? record->Child(id) : nullptr;
    return ObjectOf(control);
}

CWnd* CWnd::GetParent() const {
    const CWindowRecord* record = Record();
    return record != nullptr ? ObjectOf(record->Parent()) : nullptr;
}

BOOL CWnd::EnableWindow(BOOL enable) {
    CWindowRecord* record = Record();
    if (record == nullptr || record->Widget() == nullptr) {
        return FALSE;
    }
    QWidget* widget = record->Widget();
    const bool wasDisabled = !widget->isEnabled();
    widget->setEnabled(enable != FALSE);
    return wasDisabled ? TRUE : FALSE;
}

BOOL CWnd::IsWindowEnabled() const {
    const CWindowRecord* record = Record();
    return record != nullptr && record->Widget() != nullptr && record->Widget()->isEnabled();
}

void CWnd::SetWindowText(const CString& text) {
    if (CWindowRecord* record = Record()) {
        record->SetText(text);
    }
}

void CWnd::GetWindowText(CString& text) const {
    text = GetWindowText();
}

CString CWnd::GetWindowText() const {
    const CWindowRecord* record = Record();
    return record != nullptr ? record->Text() : CString();
}

int CWnd::GetWindowTextLength() const {
    return GetWindowText().GetLength();
}

void CWnd::GetClientRect(LPRECT rect) const {
    const CWindowRecord* record = Record();
    const QWidget* widget = record != nullptr ? record->Widget() : nullptr;
    *rect = widget != nullptr ? RECT{0, 0, widget->width(), widget->height()} : RECT{0, 0, 0, 0};
}

void CWnd::CenterWindow(CWnd*) {
    // Every screen fills the client area of the one window, so there is nothing to centre.
}

void CWnd::Invalidate(BOOL) {
    const CWindowRecord* record = Record();
    if (record != nullptr && record->Widget() != nullptr) {
        record->Widget()->update();
    }
}

void CWnd::UpdateWindow() {
    const CWindowRecord* record = Record();
    if (record != nullptr && record->Widget() != nullptr) {
        record->Widget()->repaint();
    }
}

void CWnd::SetFocus() {
    const CWindowRecord* record = Record();
    if (record != nullptr && record->Widget() != nullptr) {
        record->Widget()->setFocus(Qt::OtherFocusReason);
    }
}

HICON CWnd::SetIcon(HICON icon, BOOL bigIcon) {
    return reinterpret_cast<HICON>(
        SendMessage(WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon)));
}

UINT_PTR CWnd::SetTimer(UINT_PTR id, UINT elapse, void*) {
    CWindowRecord* record = Record();
    return record != nullptr && record->SetTimer(id, elapse) ? id : 0;
}

BOOL CWnd::KillTimer(UINT_PTR id) {
    CWindowRecord* record = Record();
    return record != nullptr && record->KillTimer(id);
}

LRESULT CWnd::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::SendMessage(m_hWnd, message, wParam, lParam);
}

int CWnd::MessageBox(const CString& text, const CString& caption, UINT type) {
    return ::MessageBox(m_hWnd, text, caption.IsEmpty() ? AfxGetAppName() : caption, type);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (!OnWndMsg(message, wParam, lParam, result)) {
        result = DefWindowProc(message, wParam, lParam);
    }
    return result;
}

bool CWnd::Handles(UINT message) const {
    return GetMessageMap()->Find(message) != nullptr;
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    const CurrentMessage current{message, wParam, lParam};
    const CurrentMessage* previous = m_pCurrentMsg;
    m_pCurrentMsg = &current;
    bool handled = false;
    if (message == WM_COMMAND) {
        handled = OnCommand(wParam, lParam) != FALSE;
    } else if (const MessageEntry* entry = GetMessageMap()->Find(message)) {
        entry->call(*this, wParam, lParam);
        handled = true;
    }
    m_pCurrentMsg = previous;
    result = 0;
    return handled;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    const MessageEntry* entry = GetMessageMap()->Find(WM_COMMAND, LOWORD(wParam), HIWORD(wParam));
    if (entry == nullptr) {
        return FALSE;
    }
    entry->call(*this, wParam, lParam);
    return TRUE;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    CWindowRecord* record = Record();
    return record != nullptr ? record->DefaultProc(message, wParam, lParam) : 0;
}

LRESULT CWnd::Default() {
    if (m_pCurrentMsg == nullptr) {
        return 0;
    }
    return DefWindowProc(m_pCurrentMsg->message, m_pCurrentMsg->wParam, m_pCurrentMsg->lParam);
}

const CMessageMap* CWnd::GetMessageMap() const {
    static const CMessageMapOf<CWnd> map(nullptr, {});
    return &map;
}

void CWnd::OnPaint() {
    Default();
}

void CWnd::OnLButtonDown(UINT, CPoint) {
    Default();
}

void CWnd::OnTimer(UINT_PTR) {
    Default();
}

void CWnd::OnClose() {
    Default();
}

void CWnd::OnKeyDown(UINT, UINT, UINT) {
    Default();
}

LRESULT SendMessage(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    CWindowRecord* record = CWindowRecord::FromHandle(hWnd);
    return record != nullptr ? record->Send(message, wParam, lParam) : 0;
}

BOOL IsWindow(HWND hWnd) {
    return CWindowRecord::FromHandle(hWnd) != nullptr ? TRUE : FALSE;
}
