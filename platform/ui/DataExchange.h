#pragma once
// Data exchange between a dialog's members and its controls. DoDataExchange lists the bindings,
// one call per member; UpdateData runs them towards the controls or back into the members, and
// copies exactly the bound members.

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

class CWnd;

class CDataExchange {
public:
    CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

    // The control with this id in the dialog, remembered as the one the next check refers to;
    // null when the dialog has no such control.
    HWND PrepareCtrl(int nIDC);
    HWND PrepareEditCtrl(int nIDC);
    // Stops the exchange: UpdateData returns FALSE. The check has told the user already.
    [[noreturn]] void Fail();

    BOOL m_bSaveAndValidate;
    CWnd* m_pDlgWnd;
    int m_idLastControl = 0;
    bool m_bEditLastControl = false;

    struct Failure {};
};

// Attaches `control` to the dialog's control `nIDC` the first time it runs.
void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& control);
// The control's text and the string member, in the exchange's direction.
void DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
// After DDX_Text on an edit: limits what the user can type to `nChars` characters, and refuses a
// longer value when reading back.
void DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
