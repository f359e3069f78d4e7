#include "reading/RefPageDlg.h"

#include "platform/ui/Gdi.h"
#include "reading/HtmlViewer.h"
#include "resources/ResourceIds.h"

namespace {

// One step larger than the reader's: reference pages are prose.
constexpr LPARAM kReferenceZoom = 3;

} // namespace

CRefPageDlg::CRefPageDlg(CWnd* pParent) : CDialog(IDD_REFPAGE, pParent) {}

CRefPageDlg::~CRefPageDlg() = default;

const CMessageMap* CRefPageDlg::GetMessageMap() const {
    static const CMessageMapOf<CRefPageDlg> map(CDialog::GetMessageMap(),
                                                {
                                                    On::Paint(&CRefPageDlg::OnPaint),
                                                });
    return &map;
}

BOOL CRefPageDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_hwndHtml = CreateHtmlViewer(*this, kReferenceZoom);
    return TRUE;
}

void CRefPageDlg::OnPaint() {
    CPaintDC dc(this);
    if (m_hwndHtml != nullptr) {
        ::SendMessage(m_hwndHtml, DTM_NAVIGATE, 0, reinterpret_cast<LPARAM>(m_strUrl.GetString()));
    }
}
