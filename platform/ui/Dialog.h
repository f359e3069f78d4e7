#pragma once
// CDialog: a screen built from a dialog template. DoModal creates its window and controls in the
// screen's client area, calls OnInitDialog, dispatches messages through the message map and
// returns the value given to EndDialog once the dialog has ended. Runs nest: a dialog opened from
// a handler returns before that handler goes on. IDOK and IDCANCEL end a dialog by default.

#include "platform/ui/Wnd.h"

class CDataExchange;
class CModalRun;

class CDialog : public CWnd {
public:
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr);
    ~CDialog() override;

    // The result given to EndDialog; IDCANCEL when the window closed under it; -1 when the
    // dialog could not be made (no such template, no window system, or a run already going).
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);
    // Runs DoDataExchange towards the members (TRUE) or towards the controls (FALSE); FALSE when
    // a check failed, after it has told the user.
    BOOL UpdateData(BOOL bSaveAndValidate = TRUE);

    UINT GetTemplateId() const { return m_nIDTemplate; }
    bool IsModalRunning() const { return m_pRun != nullptr; }

    // The base puts the template's initial items into its combo boxes and sends the members to
    // the controls. Overrides run it first. TRUE gives the focus to the first control.
    virtual BOOL OnInitDialog();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    // Reads the controls back and ends the dialog with IDOK when that succeeded.
    virtual void OnOK();
    virtual void OnCancel();
    const CMessageMap* GetMessageMap() const override;

    CWnd* m_pParentWnd;

private:
    // A sheet ties its pages to its own modal run, so that a page's EndDialog ends the sheet.
    friend class CPropertySheet;

    void InitDialog();

    UINT m_nIDTemplate;
    int m_nModalResult = -1;
    CModalRun* m_pRun = nullptr;
};
