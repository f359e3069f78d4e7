#pragma once
// The reader: one poem, composed as a page and shown in the HTML viewer that fills the window
// but for a one-pixel margin, while the background music plays in a loop. OK stops the music;
// leaving the reader any other way lets it play on, and the next reader does not restart it.
//
// Opened over a list (the catalogue's rows), the reader turns its pages: Left and Right, a swipe
// and the menu's 上一首 and 下一首 show the poem before or after, and nothing at either end; the
// page's colours, picture and music stay. Up, Down, PageUp and PageDown scroll the page. A
// tap-and-hold or the Menu key opens the reader's menu (CReaderMenu).
//
// A poem taken out of the favourites stays on the page as it was kept, notes and all, even when
// it is read from the favourites themselves (whose notes file no longer holds its notes), and 收藏
// keeps it again as it was.

#include "library/Favourites.h"
#include "library/LibraryFormat.h"
#include "platform/ui/Dialog.h"
#include "reading/ReaderMenu.h"

#include <cstdint>
#include <map>

class CPoemLibrary;

class CPoemViewDlg : public CDialog {
public:
    // `pRecord` lies in the library's result buffer and must stay there while the reader is open.
    explicit CPoemViewDlg(const PoemRecord* pRecord, CWnd* pParent = nullptr);
    // Record `nIndex` of the `nCount` records from `pRecords`, the list whose pages the reader
    // turns; they must stay as they are while the reader is open.
    CPoemViewDlg(const PoemRecord* pRecords, std::uint32_t nCount, std::uint32_t nIndex,
                 CWnd* pParent = nullptr);
    ~CPoemViewDlg() override;

    // The library the records given belong to, when it is not the open one; set before the run.
    void SetLibrary(CPoemLibrary* pLibrary);
    // The place in the list of the poem last shown from it.
    std::uint32_t GetListIndex() const { return m_nListIndex; }

    // Replaces m_strPage with the page of m_pRecord, its text read afresh, in the colours and
    // over the picture that the settings hold now.
    void ComposePage();
    // The HTML of m_pRecord's notes, read afresh (or as they were kept, for a poem taken out of
    // the favourites here); empty when it has none.
    CString ComposeNotes() const;

    // The poem before or after in the list; false, changing nothing, at the ends.
    bool ShowPrevious();
    bool ShowNext();
    // A poem of the whole open library at random, another than the one shown when there is
    // another; false when the library has none.
    bool ShowRandom();

    const PoemRecord* m_pRecord; // neither owned nor copied
    HWND m_hwndHtml = nullptr;   // null until made, and for good when it could not be
    CString m_strPage;           // the page composed last

protected:
    void OnOK() override;
    BOOL OnInitDialog() override;
    const CMessageMap* GetMessageMap() const override;

    void OnPaint();
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnSwipe(UINT nDirection);
    void OnContextMenu(CWnd* pWnd, CPoint point);

private:
    CPoemLibrary* ShownLibrary() const;
    bool ShowListPoem(std::uint32_t index);
    void Show(const PoemRecord* record, CPoemLibrary* library);
    CReaderMenu::State MenuState() const;
    CString PoetPage() const;
    CString FormPage() const;
    // The poem shown as the favourites would keep it: as it was kept when it was taken out here.
    KeptPoem ShownPoem() const;
    // Keeps the poem shown among the favourites, or takes it out.
    void ToggleFavourite(bool isFavourite);
    // Opens the reference window over the reader at the page of the program folder.
    void OpenReference(const CString& pageName);

    const PoemRecord* m_pList = nullptr; // the list whose pages turn; null for none
    std::uint32_t m_nListCount = 0;
    std::uint32_t m_nListIndex = 0;
    CPoemLibrary* m_pListLibrary = nullptr;  // the list's library; null for the open one
    CPoemLibrary* m_pShownLibrary = nullptr; // m_pRecord's library; null for the open one
    // The poems taken out of the favourites here, by the records they were shown from.
    std::map<const PoemRecord*, KeptPoem> m_takenOut;
};

// The main screen's 随机一首: a poem of the open library at random, in the reader, on its own.
void RunRandomPoem();
