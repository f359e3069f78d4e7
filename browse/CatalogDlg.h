#pragma once
// The catalogue: the poems of a selection, one row per poem with its number, title and author,
// added every 20-millisecond tick while the status line counts them: one row a tick up to 1,000
// rows, and above that ceil(rows / 1000) a tick, so that any selection is listed within about
// 20 seconds. At the tick after the last row, the list and the read button come alive and the
// selected poem opens in the reader.

#include "library/LibraryFormat.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialog.h"

#include <cstdint>

class CPoemLibrary;

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

    // The library the records belong to, when it is not the open one; set before the run.
    void SetLibrary(CPoemLibrary* pLibrary) { m_pLibrary = pLibrary; }

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
    void AddRows(std::uint32_t first, std::uint32_t end);
    void ShowReady(UINT_PTR nIDEvent);
    void SelectRow(int item);

    CPoemLibrary* m_pLibrary = nullptr; // null: the open library
};

// The rows one tick of a catalogue of `count` rows adds.
std::uint32_t CatalogRowsPerTick(std::uint32_t count);

// The main screen's catalogue zone: every poem of the open library, in the catalogue.
void RunCatalogue();
// The main screen's 我的收藏: every favourite, in the catalogue, whatever library is open.
void RunFavouritesCatalogue();
bool HasFavourites();
