#include "platform/ui/PropertySheet.h"

#include "platform/ui/DialogTemplate.h"
#include "platform/ui/qt/DialogRun.h"
#include "platform/ui/qt/SheetRecord.h"

#include <QApplication>

#include <cstdio>

const CRuntimeClass CPropertyPage::classCPropertyPage{"CPropertyPage", nullptr, nullptr};
const CRuntimeClass CPropertySheet::classCPropertySheet{"CPropertySheet", nullptr, nullptr};

// What exists while the sheet runs: the run's content, whose window is the sheet's, the windows
// of the pages shown so far (by page index, null until a page is first shown) and the modal run.
struct CPropertySheet::Run final : CDialogRun {
    Run(std::unique_ptr<CSheetRecord> window, CString caption, size_t pageCount)
        : CDialogRun(std::move(window), std::move(caption)), pages(pageCount) {}

    // The sheet's window; null once the run is over.
    CSheetRecord* Sheet() const { return static_cast<CSheetRecord*>(Window()); }

    // The pages' windows go first, while the sheet's window still holds them.
    void Dismantle() override {
        for (size_t i = pages.size(); i-- > 0;) {
            pages[i].reset();
        }
        CDialogRun::Dismantle();
    }

    std::vector<std::unique_ptr<CDialogRecord>> pages;
    CModalRun* modal = nullptr;
};

// ---- CPropertyPage ------------------------------------------------------------------------

CPropertyPage::CPropertyPage(UINT nIDTemplate) : CDialog(nIDTemplate) {}

CPropertyPage::~CPropertyPage() = default;

// ---- CPropertySheet -----------------------------------------------------------------------

CPropertySheet::CPropertySheet(const CString& caption, CWnd* pParentWnd, UINT iSelectPage)
    : m_pParentWnd(pParentWnd), m_strCaption(caption),
      m_nActivePage(static_cast<int>(iSelectPage)) {}

CPropertySheet::~CPropertySheet() = default;

void CPropertySheet::AddPage(CPropertyPage* pPage) {
    if (pPage == nullptr || GetPageIndex(pPage) >= 0) {
        return;
    }
    if (m_pRun != nullptr) {
        // The tabs are laid out when the run starts.
        std::fprintf(stderr, "lomeva: a page cannot be added to a sheet that is running\n");
        return;
    }
    m_pages.push_back(pPage);
}

CPropertyPage* CPropertySheet::GetPage(int nPage) const {
    return nPage >= 0 && nPage < GetPageCount() ? m_pages[static_cast<size_t>(nPage)] : nullptr;
}

int CPropertySheet::GetPageIndex(const CPropertyPage* pPage) const {
    for (int i = 0; i < GetPageCount(); ++i) {
        if (m_pages[static_cast<size_t>(i)] == pPage) {
            return i;
        }
    }
    return -1;
}

CPropertyPage* CPropertySheet::GetActivePage() const {
    return GetPage(m_nActivePage);
}

INT_PTR CPropertySheet::DoModal() {
    if (m_pRun != nullptr || QApplication::instance() == nullptr || m_pages.empty()) {
        return -1;
    }
    std::vector<CString> captions;
    for (const CPropertyPage* page : m_pages) {
        const DialogTemplate* pageTemplate = FindDialogTemplate(page->GetTemplateId());
        if (pageTemplate == nullptr) {
            std::fprintf(stderr, "lomeva: there is no dialog template %u\n", page->GetTemplateId());
            return -1;
        }
        if (page->GetSafeHwnd() != nullptr) {
            return -1; // the page is showing elsewhere
        }
        captions.emplace_back(pageTemplate->caption);
    }
    CScreen& screen = CScreen::Instance();
    if (screen.IsClosing()) {
        return IDCANCEL;
    }
    if (GetPage(m_nActivePage) == nullptr) {
        m_nActivePage = 0;
    }
    auto window = std::make_unique<CSheetRecord>(captions, screen.ClientArea(),
                                                 [this](int nPage) { OnTabChosen(nPage); });
    window->Attach(this);
    Run run(std::move(window), BarCaption(m_strCaption), m_pages.size());
    m_pRun = &run;
    const INT_PTR result = RunModal(run);
    m_pRun = nullptr;
    return result;
}

INT_PTR CPropertySheet::RunModal(Run& run) {
    const int first = m_nActivePage;
    CDialogRecord* firstWindow = MakePageWindow(first);
    firstWindow->Widget()->show();
    run.Sheet()->ShowTab(first);
    run.SetFront(*firstWindow);
    CModalRun modal(run);
    run.modal = &modal;
    TieToRun(*GetPage(first), true);
    InitPage(first);
    const int result = modal.Exec(IDCANCEL);
    for (CPropertyPage* page : m_pages) {
        TieToRun(*page, false);
    }
    run.modal = nullptr;
    return result;
}

CDialogRecord* CPropertySheet::MakePageWindow(int nPage) {
    std::unique_ptr<CDialogRecord>& window = m_pRun->pages[static_cast<size_t>(nPage)];
    if (window) {
        return window.get();
    }
    CPropertyPage& page = *GetPage(nPage);
    window = std::make_unique<CDialogRecord>(*FindDialogTemplate(page.GetTemplateId()),
                                             m_pRun->Sheet()->PageArea());
    window->Widget()->hide();
    window->Attach(&page);
    if (m_pRun->modal != nullptr) {
        TieToRun(page, true);
    }
    return window.get();
}

void CPropertySheet::TieToRun(CDialog& page, bool tie) {
    page.m_pRun = tie && m_pRun != nullptr ? m_pRun->modal : nullptr;
}

void CPropertySheet::InitPage(int nPage) {
    // What the dialog's own run does first: its OnInitDialog, then the keyboard to its first
    // control, unless the initialisation ended the run.
    CDialogRecord* window = m_pRun->pages[static_cast<size_t>(nPage)].get();
    if (GetPage(nPage)->OnInitDialog() != FALSE && m_pRun->modal != nullptr &&
        !m_pRun->modal->HasEnded() && m_nActivePage == nPage) {
        window->FocusFirstControl();
    }
}

void CPropertySheet::ShowPage(int nPage) {
    CDialogRecord* shown = m_pRun->pages[static_cast<size_t>(nPage)].get();
    for (const auto& window : m_pRun->pages) {
        if (window && window.get() != shown) {
            window->Widget()->hide();
        }
    }
    shown->Widget()->show();
    shown->Widget()->raise();
    m_pRun->SetFront(*shown);
    m_pRun->Sheet()->ShowTab(nPage);
    m_nActivePage = nPage;
}

BOOL CPropertySheet::SetActivePage(int nPage) {
    if (GetPage(nPage) == nullptr) {
        return FALSE;
    }
    if (m_pRun == nullptr) {
        m_nActivePage = nPage;
        return TRUE;
    }
    if (m_pRun->modal == nullptr || m_pRun->modal->HasEnded()) {
        return FALSE;
    }
    if (nPage == m_nActivePage) {
        return TRUE;
    }
    const bool firstShowing = !m_pRun->pages[static_cast<size_t>(nPage)];
    CDialogRecord* window = MakePageWindow(nPage);
    ShowPage(nPage);
    if (firstShowing) {
        InitPage(nPage);
    } else {
        window->FocusFirstControl();
    }
    return TRUE;
}

void CPropertySheet::OnTabChosen(int nPage) {
    if (!SetActivePage(nPage) && m_pRun != nullptr && m_pRun->Sheet() != nullptr) {
        m_pRun->Sheet()->ShowTab(m_nActivePage);
    }
}

void CPropertySheet::EndDialog(int nResult) {
    if (m_pRun != nullptr && m_pRun->modal != nullptr) {
        m_pRun->modal->End(nResult);
    }
}
