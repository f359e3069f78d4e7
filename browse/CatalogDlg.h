#pragma once
// The catalogue: the poems of a selection, one row per poem with its number, title and author,
// added one row per 20-millisecond tick while the status line counts them. Once the last row is
// in, the list and the read button come alive and the selected poem opens in the reader.

#include "library/LibraryFormat.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialog.h"

#include <cstdint>

// The rows added so far: one counter for the whole program, reset by every catalogue made. At
// most one catalogue exists at a time, since every screen is modal.
extern std::uint32_t g_nCatalogRow;

class CCatalogDlg : public CDialog {
public:
    // Lists `nRecordCount` records from `pRecordArray`, which must stay as it is while the
    // catalogue is open (the result buffer does: no selection can run meanwhile).
    CCatalogDlg(const PoemRecord* pRecordArray, std::uint32_t nRecordCount,
                CWnd* pParent = nullptr);
    ~CCatalogDlg() override;

    CButton m_btnRead;
    CListCtrl m_listPoems;
    CString m_strStatus;
    const PoemRecord* m_pRecordArray; // not owned
    std::uint32_t m_nRecordCount;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    const CMessageMap* GetMessageMap() const override;

    void OnTimer(UINT_PTR nIDEvent);
    void OnClose();
    void OnRead();

private:
    void AddRow(std::uint32_t row);
    void ShowReady(UINT_PTR nIDEvent);
};

// The main screen's catalogue zone: every poem of the open library, in the catalogue.
void RunCatalogue();
