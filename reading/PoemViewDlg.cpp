#include "reading/PoemViewDlg.h"

#include "library/Favourites.h"
#include "library/PoemLibrary.h"
#include "library/RandomPoem.h"
#include "library/ReferencePages.h"
#include "platform/core/CodePage.h"
#include "platform/core/Sound.h"
#include "platform/ui/Gdi.h"
#include "reading/HtmlViewer.h"
#include "reading/RefPageDlg.h"
#include "reading/page/PoemPage.h"
#include "resources/ResourceIds.h"
#include "settings/Settings.h"

#include <filesystem>

namespace {

// The reader's text size: the viewer's usual one.
constexpr LPARAM kReaderZoom = 2;

CString FieldText(const char* field, std::size_t width) {
    return CodePage::Decode(field, width);
}

// A page of the program folder that is there to open: a name that is not is never offered.
bool PageExists(const CString& pageName) {
    if (pageName.IsEmpty()) {
        return false;
    }
    std::error_code error;
    return std::filesystem::is_regular_file(
        std::filesystem::u8path((g_strAppPath + pageName).ToUtf8()), error);
}

} // namespace

CPoemViewDlg::CPoemViewDlg(const PoemRecord* pRecord, CWnd* pParent)
    : CDialog(IDD_POEMVIEW, pParent), m_pRecord(pRecord) {}

CPoemViewDlg::CPoemViewDlg(const PoemRecord* pRecords, std::uint32_t nCount, std::uint32_t nIndex,
                           CWnd* pParent)
    : CDialog(IDD_POEMVIEW, pParent), m_pRecord(nIndex < nCount ? pRecords + nIndex : nullptr),
      m_pList(pRecords), m_nListCount(pRecords != nullptr ? nCount : 0),
      m_nListIndex(nIndex < nCount ? nIndex : 0) {}

CPoemViewDlg::~CPoemViewDlg() = default;

void CPoemViewDlg::SetLibrary(CPoemLibrary* pLibrary) {
    m_pListLibrary = pLibrary;
    m_pShownLibrary = pLibrary;
}

const CMessageMap* CPoemViewDlg::GetMessageMap() const {
    static const CMessageMapOf<CPoemViewDlg> map(CDialog::GetMessageMap(),
                                                 {
                                                     On::Paint(&CPoemViewDlg::OnPaint),
                                                     On::Clicked(IDOK, &CPoemViewDlg::OnOK),
                                                     On::KeyDown(&CPoemViewDlg::OnKeyDown),
                                                     On::Swipe(&CPoemViewDlg::OnSwipe),
                                                     On::ContextMenu(&CPoemViewDlg::OnContextMenu),
                                                 });
    return &map;
}

BOOL CPoemViewDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_hwndHtml = CreateHtmlViewer(*this, kReaderZoom);
    ::SendMessage(m_hwndHtml, DTM_KEEPVERSES, 0, 1); // a poem's lines break between its verses
    // The music starts whether or not there is a viewer. SND_NOSTOP: music that a reader left
    // playing goes on instead.
    const CString music = g_strAppPath + g_strBackMusic;
    PlaySound(music.GetString(), nullptr, SND_FILENAME | SND_ASYNC | SND_LOOP | SND_NOSTOP);
    return TRUE;
}

void CPoemViewDlg::OnPaint() {
    CPaintDC dc(this);
    // Composed afresh at every paint, so the page always shows the settings in force.
    ComposePage();
    if (m_hwndHtml != nullptr) {
        ::SendMessage(m_hwndHtml, DTM_ADDTEXTW, 0, reinterpret_cast<LPARAM>(m_strPage.GetString()));
        // The poem's notes, when it has some, follow the page as a piece of their own.
        if (const CString notes = ComposeNotes(); !notes.IsEmpty()) {
            ::SendMessage(m_hwndHtml, DTM_ADDTEXTW, 0, reinterpret_cast<LPARAM>(notes.GetString()));
        }
        ::SendMessage(m_hwndHtml, DTM_ENDOFSOURCE, 0, 0);
    }
}

// OK stops the music before the reader closes.
void CPoemViewDlg::OnOK() {
    PlaySound(nullptr, nullptr, SND_FILENAME | SND_ASYNC | SND_LOOP | SND_NOWAIT);
    CDialog::OnOK();
}

CPoemLibrary* CPoemViewDlg::ShownLibrary() const {
    return m_pShownLibrary != nullptr ? m_pShownLibrary : g_pLibrary;
}

void CPoemViewDlg::ComposePage() {
    CPoemLibrary* library = ShownLibrary();
    if (library == nullptr || m_pRecord == nullptr) {
        m_strPage.Empty(); // the reader opens only over an open library; nothing to show
        return;
    }
    m_strPage = ComposePoemPage(*library, *m_pRecord, CurrentPageSettings());
}

// ---- turning pages ------------------------------------------------------------------------

void CPoemViewDlg::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) {
    if (nChar == VK_LEFT) {
        ShowPrevious();
    } else if (nChar == VK_RIGHT) {
        ShowNext();
    } else {
        CDialog::OnKeyDown(nChar, nRepCnt, nFlags); // the viewer scrolls the page
    }
}

// The finger pulls the next page in from the right, as a book's page turns.
void CPoemViewDlg::OnSwipe(UINT nDirection) {
    if (nDirection == ARG_SCROLL_LEFT) {
        ShowNext();
    } else if (nDirection == ARG_SCROLL_RIGHT) {
        ShowPrevious();
    }
}

bool CPoemViewDlg::ShowPrevious() {
    return m_nListIndex > 0 && ShowListPoem(m_nListIndex - 1);
}

bool CPoemViewDlg::ShowNext() {
    return m_nListIndex + 1 < m_nListCount && ShowListPoem(m_nListIndex + 1);
}

bool CPoemViewDlg::ShowListPoem(std::uint32_t index) {
    if (m_pList == nullptr || index >= m_nListCount) {
        return false;
    }
    m_nListIndex = index;
    Show(m_pList + index, m_pListLibrary);
    return true;
}

void CPoemViewDlg::Show(const PoemRecord* record, CPoemLibrary* library) {
    m_pRecord = record;
    m_pShownLibrary = library;
    Invalidate(); // the next paint composes and hands over the new page
}

bool CPoemViewDlg::ShowRandom() {
    if (g_pLibrary == nullptr) {
        return false;
    }
    const std::span<const PoemRecord> records = g_pLibrary->GetRecords();
    const auto number = RandomPoemNumber(records, m_pRecord);
    if (!number) {
        return false;
    }
    const PoemRecord& record = records[*number];
    // A poem of the list itself becomes the place the list turns from.
    if (m_pListLibrary == nullptr && m_pList != nullptr) {
        if (const auto place = PlaceInList({m_pList, m_nListCount}, record, *number)) {
            m_nListIndex = *place;
            Show(m_pList + *place, nullptr);
            return true;
        }
    }
    Show(&record, nullptr);
    return true;
}

// ---- the menu -----------------------------------------------------------------------------

CReaderMenu::State CPoemViewDlg::MenuState() const {
    CReaderMenu::State state;
    if (m_pRecord != nullptr) {
        state.author = FieldText(m_pRecord->author, sizeof m_pRecord->author);
        state.form = FieldText(m_pRecord->form, sizeof m_pRecord->form);
        state.hasPoetPage = PageExists(PoetPage());
        state.hasFormPage = PageExists(FormPage());
    }
    state.hasPrevious = m_pList != nullptr && m_nListIndex > 0;
    state.hasNext = m_pList != nullptr && m_nListIndex + 1 < m_nListCount;
    state.hasRandom = g_pLibrary != nullptr && !g_pLibrary->GetRecords().empty();
    if (ShownLibrary() != nullptr && m_pRecord != nullptr) {
        state.canKeep = true;
        state.isFavourite = CFavourites(g_strAppPath).Contains(ShownPoem());
    }
    return state;
}

KeptPoem CPoemViewDlg::ShownPoem() const {
    const auto takenOut = m_takenOut.find(m_pRecord);
    return takenOut != m_takenOut.end() ? takenOut->second
                                        : KeptPoemOf(*ShownLibrary(), *m_pRecord);
}

// The pages of the poem's poet (of its own dynasty) and of its form, in the program folder.
CString CPoemViewDlg::PoetPage() const {
    return PoetPageName(FieldText(m_pRecord->author, sizeof m_pRecord->author),
                        FieldText(m_pRecord->dynasty, sizeof m_pRecord->dynasty));
}

CString CPoemViewDlg::FormPage() const {
    return FormPageName(FieldText(m_pRecord->form, sizeof m_pRecord->form));
}

void CPoemViewDlg::OnContextMenu(CWnd*, CPoint point) {
    const CReaderMenu::State state = MenuState();
    CReaderMenu menu(state);
    switch (menu.Track(point, *this)) {
    case CReaderMenu::kPoet:
        OpenReference(PoetPage());
        break;
    case CReaderMenu::kForm:
        OpenReference(FormPage());
        break;
    case CReaderMenu::kPrevious:
        ShowPrevious();
        break;
    case CReaderMenu::kNext:
        ShowNext();
        break;
    case CReaderMenu::kRandom:
        ShowRandom();
        break;
    case CReaderMenu::kFavourite:
        ToggleFavourite(state.isFavourite);
        break;
    case CReaderMenu::kNone:
        break;
    }
}

void CPoemViewDlg::ToggleFavourite(bool isFavourite) {
    if (ShownLibrary() == nullptr || m_pRecord == nullptr) {
        return;
    }
    CFavourites favourites(g_strAppPath);
    const KeptPoem poem = ShownPoem();
    const auto outcome = isFavourite ? favourites.Remove(poem) : favourites.Add(poem);
    if (outcome == CFavourites::Outcome::failed) {
        MessageBox(favourites.Error(), u"警告", MB_ICONEXCLAMATION);
    } else if (outcome == CFavourites::Outcome::removed) {
        m_takenOut.insert_or_assign(m_pRecord, poem);
    }
}

void CPoemViewDlg::OpenReference(const CString& pageName) {
    // The music plays on: the reference window plays none and stops none.
    CRefPageDlg reference;
    reference.m_strUrl = CString(u"file://") + g_strAppPath + pageName;
    reference.DoModal();
}

void RunRandomPoem() {
    CPoemViewDlg reader(nullptr);
    if (reader.ShowRandom()) {
        reader.DoModal();
    }
}

CString CPoemViewDlg::ComposeNotes() const {
    CPoemLibrary* library = ShownLibrary();
    if (library == nullptr || m_pRecord == nullptr) {
        return {};
    }
    if (const auto takenOut = m_takenOut.find(m_pRecord); takenOut != m_takenOut.end()) {
        return NotesToHtml(takenOut->second.notes, g_strTextColor);
    }
    return ComposePoemNotes(*library, *m_pRecord, CurrentPageSettings());
}
