#include "platform/ui/DataExchange.h"

#include "platform/core/Services.h"
#include "platform/ui/Wnd.h"
#include "platform/ui/qt/ControlRecords.h"

#include <cstdio>

namespace {

CWindowRecord* ControlRecord(CWnd* dialog, int nIDC) {
    CWnd* control = dialog != nullptr ? dialog->GetDlgItem(nIDC) : nullptr;
    return control != nullptr ? CWindowRecord::FromHandle(control->GetSafeHwnd()) : nullptr;
}

} // namespace

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
    CWindowRecord* record = ControlRecord(m_pDlgWnd, nIDC);
    if (record == nullptr) {
        // A binding to a control the template lacks is the program's mistake, not the user's.
        std::fprintf(stderr, "lomeva: the dialog has no control %d to exchange data with\n", nIDC);
        return nullptr;
    }
    m_idLastControl = nIDC;
    m_bEditLastControl = false;
    return record->Handle();
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
    HWND control = PrepareCtrl(nIDC);
    m_bEditLastControl = control != nullptr;
    return control;
}

void CDataExchange::Fail() {
    if (CWnd* control = m_pDlgWnd != nullptr ? m_pDlgWnd->GetDlgItem(m_idLastControl) : nullptr) {
        control->SetFocus();
    }
    throw Failure{};
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control) {
    if (control.GetSafeHwnd() != nullptr) {
        return;
    }
    HWND window = pDX->PrepareCtrl(nIDC);
    if (window != nullptr && !control.SubclassWindow(window)) {
        std::fprintf(stderr, "lomeva: control %d is bound to another object already\n", nIDC);
    }
}

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
    HWND window = pDX->PrepareEditCtrl(nIDC);
    CWnd* control = CWnd::FromHandle(window);
    if (control == nullptr) {
        return;
    }
    if (pDX->m_bSaveAndValidate) {
        value = control->GetWindowText();
    } else if (control->GetWindowText() != value) {
        control->SetWindowText(value);
    }
}

void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
    if (pDX->m_bSaveAndValidate) {
        if (value.GetLength() > nChars) {
            AfxMessageBox(CString::Formatted(u"请输入不超过 %d 个字符。", nChars),
                          MB_ICONEXCLAMATION);
            pDX->Fail();
        }
        return;
    }
    if (!pDX->m_bEditLastControl) {
        return;
    }
    if (auto* edit =
            dynamic_cast<CEditRecord*>(ControlRecord(pDX->m_pDlgWnd, pDX->m_idLastControl))) {
        edit->SetLimit(nChars);
    }
}
