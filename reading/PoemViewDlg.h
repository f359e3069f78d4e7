#pragma once
// The reader: one poem, composed as a page and shown in the HTML viewer that fills the window
// but for a one-pixel margin, while the background music plays in a loop. OK stops the music;
// leaving the reader any other way lets it play on, and the next reader does not restart it.

#include "library/LibraryFormat.h"
#include "platform/ui/Dialog.h"

class CPoemViewDlg : public CDialog {
public:
    // `pRecord` lies in the library's result buffer and must stay there while the reader is open.
    explicit CPoemViewDlg(const PoemRecord* pRecord, CWnd* pParent = nullptr);
    ~CPoemViewDlg() override;

    // Replaces m_strPage with the page of m_pRecord, its text read afresh, in the colours and
    // over the picture that the settings hold now.
    void ComposePage();
    // The HTML of m_pRecord's notes, read afresh; empty when it has none.
    CString ComposeNotes() const;

    const PoemRecord* m_pRecord; // neither owned nor copied
    HWND m_hwndHtml = nullptr;   // null until made, and for good when it could not be
    CString m_strPage;           // the page composed last

protected:
    void OnOK() override;
    BOOL OnInitDialog() override;
    const CMessageMap* GetMessageMap() const override;

    void OnPaint();
};
