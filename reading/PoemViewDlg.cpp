#include "reading/PoemViewDlg.h"

#include "platform/core/Sound.h"
#include "platform/ui/Gdi.h"
#include "reading/HtmlViewer.h"
#include "reading/PoemPage.h"
#include "resources/ResourceIds.h"
#include "settings/Settings.h"

namespace {

// The reader's text size: the viewer's usual one.
constexpr LPARAM kReaderZoom = 2;

} // namespace

CPoemViewDlg::CPoemViewDlg(const PoemRecord* pRecord, CWnd* pParent)
    : CDialog(IDD_POEMVIEW, pParent), m_pRecord(pRecord) {}

CPoemViewDlg::~CPoemViewDlg() = default;

const CMessageMap* CPoemViewDlg::GetMessageMap() const {
    static const CMessageMapOf<CPoemViewDlg> map(CDialog::GetMessageMap(),
                                                 {
                                                     On::Paint(&CPoemViewDlg::OnPaint),
                                                     On::Clicked(IDOK, &CPoemViewDlg::OnOK),
                                                 });
    return &map;
}

BOOL CPoemViewDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_hwndHtml = CreateHtmlViewer(*this, kReaderZoom);
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

void CPoemViewDlg::ComposePage() {
    if (g_pLibrary == nullptr || m_pRecord == nullptr) {
        m_strPage.Empty(); // the reader opens only over an open library; nothing to show
        return;
    }
    m_strPage = ComposePoemPage(*g_pLibrary, *m_pRecord);
}

CString CPoemViewDlg::ComposeNotes() const {
    if (g_pLibrary == nullptr || m_pRecord == nullptr) {
        return {};
    }
    return ComposePoemNotes(*g_pLibrary, *m_pRecord);
}
