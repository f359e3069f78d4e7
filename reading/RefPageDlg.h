#pragma once
// The reference window: a page of the program folder ("authors.htm" about the poets,
// "geti.htm" about the forms) in the HTML viewer, at the anchor its opener put in m_strUrl.

#include "platform/ui/Dialog.h"

class CRefPageDlg : public CDialog {
public:
    explicit CRefPageDlg(CWnd* pParent = nullptr);
    ~CRefPageDlg() override;

    HWND m_hwndHtml = nullptr; // null until made, and for good when it could not be
    // "file://", the program folder, the page's name, "#" and the anchor, nothing escaped; set
    // by the opener before the modal run.
    CString m_strUrl;

protected:
    BOOL OnInitDialog() override;
    const CMessageMap* GetMessageMap() const override;

    void OnPaint();
};
