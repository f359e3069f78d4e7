#pragma once
// CPropertySheet and CPropertyPage: one screen of several pages, each built from its own dialog
// template, shown one at a time above a row of tabs that carry the templates' captions. The
// sheet runs modally like a dialog; the bar shows the sheet's caption, and its "ok" and Esc go to
// the page in front, whose default OK and cancel end the whole sheet.
//
// A page's window is made the first time the page is shown (its OnInitDialog runs then) and
// every page window goes when the run ends, so the pages' objects can be made anew for each
// opening, or kept and run again.

#include "platform/ui/Dialog.h"
#include "platform/ui/RuntimeClass.h"
#include "platform/ui/ScreenGeometry.h" // kSheetTabHeight

#include <memory>
#include <vector>

class CDialogRecord;

class CPropertyPage : public CDialog {
public:
    // The tab's caption is the template's caption.
    explicit CPropertyPage(UINT nIDTemplate);
    ~CPropertyPage() override;

    static const CRuntimeClass classCPropertyPage;
    virtual const CRuntimeClass* GetRuntimeClass() const { return &classCPropertyPage; }
    bool IsKindOf(const CRuntimeClass* c) const { return GetRuntimeClass()->IsDerivedFrom(c); }
};

class CPropertySheet : public CWnd {
public:
    explicit CPropertySheet(const CString& caption, CWnd* pParentWnd = nullptr,
                            UINT iSelectPage = 0);
    ~CPropertySheet() override;

    static const CRuntimeClass classCPropertySheet;
    virtual const CRuntimeClass* GetRuntimeClass() const { return &classCPropertySheet; }
    bool IsKindOf(const CRuntimeClass* c) const { return GetRuntimeClass()->IsDerivedFrom(c); }

    // Pages are shown in the order they were added; the sheet does not own them. Pages are added
    // before the run.
    void AddPage(CPropertyPage* pPage);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int nPage) const;
    int GetPageIndex(const CPropertyPage* pPage) const;
    // While the sheet runs: the page in front. Before: the page that will be shown first.
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const { return m_nActivePage; }
    // Brings a page to the front (making its window the first time). Before the run it chooses
    // the first page. FALSE for a page the sheet does not have or cannot show.
    BOOL SetActivePage(int nPage);
    BOOL SetActivePage(CPropertyPage* pPage) { return SetActivePage(GetPageIndex(pPage)); }
    const CString& GetTitle() const { return m_strCaption; }

    // The value given to EndDialog (by the sheet or any of its pages); IDCANCEL when the window
    // closed under it; -1 when the sheet could not be shown (no pages, a page without template,
    // no window system, or a run already going).
    virtual INT_PTR DoModal();
    void EndDialog(int nResult);
    bool IsModalRunning() const { return m_pRun != nullptr; }

protected:
    CWnd* m_pParentWnd;

private:
    struct Run;
    INT_PTR RunModal(Run& run);
    CDialogRecord* MakePageWindow(int nPage);
    void InitPage(int nPage);
    void ShowPage(int nPage);
    void TieToRun(CDialog& page, bool tie);
    void OnTabChosen(int nPage);

    CString m_strCaption;
    std::vector<CPropertyPage*> m_pages;
    int m_nActivePage;
    Run* m_pRun = nullptr;
};
