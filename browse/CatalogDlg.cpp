#include "browse/CatalogDlg.h"

#include "library/Favourites.h"
#include "library/PoemLibrary.h"
#include "platform/core/CodePage.h"
#include "platform/ui/DataExchange.h"
#include "reading/PoemViewDlg.h"
#include "resources/ResourceIds.h"
#include "settings/Settings.h"

#include <algorithm>

std::uint32_t g_nCatalogRow = 0;

namespace {

constexpr UINT_PTR kFillTimer = 1;
constexpr UINT kFillPeriod = 20;               // milliseconds per tick
constexpr std::uint32_t kRowByRowLimit = 1000; // selections up to this many add a row a tick

constexpr const char16_t* kPleaseWait = u"请稍等!  ";
constexpr const char16_t* kReady = u"请先在目录表选择,然后[阅读]";

} // namespace

std::uint32_t CatalogRowsPerTick(std::uint32_t count) {
    return count <= kRowByRowLimit ? 1 : count / kRowByRowLimit + (count % kRowByRowLimit != 0);
}

CCatalogDlg::CCatalogDlg(const PoemRecord* pRecordArray, std::uint32_t nRecordCount, CWnd* pParent)
    : CDialog(IDD_CATALOG, pParent), m_pRecordArray(pRecordArray), m_nRecordCount(nRecordCount) {
    g_nCatalogRow = 0; // every catalogue fills its list afresh from the first record
}

CCatalogDlg::~CCatalogDlg() = default;

void CCatalogDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BTN_READ, m_btnRead);
    DDX_Control(pDX, IDC_LIST_POEMS, m_listPoems);
    DDX_Text(pDX, IDC_STATIC_STATUS, m_strStatus);
}

const CMessageMap* CCatalogDlg::GetMessageMap() const {
    static const CMessageMapOf<CCatalogDlg> map(CDialog::GetMessageMap(),
                                                {
                                                    On::Timer(&CCatalogDlg::OnTimer),
                                                    On::Close(&CCatalogDlg::OnClose),
                                                    On::Clicked(IDC_BTN_READ, &CCatalogDlg::OnRead),
                                                });
    return &map;
}

BOOL CCatalogDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    m_listPoems.SetExtendedStyle(m_listPoems.GetExtendedStyle() | LVS_EX_FULLROWSELECT |
                                 LVS_EX_GRADIENT);
    m_listPoems.InsertColumn(0, u"序号", LVCFMT_LEFT, 40);
    m_listPoems.InsertColumn(1, u"标题", LVCFMT_LEFT, 120);
    m_listPoems.InsertColumn(2, u"作者", LVCFMT_LEFT, 70);
    SetTimer(kFillTimer, kFillPeriod, nullptr);
    return TRUE;
}

void CCatalogDlg::OnTimer(UINT_PTR nIDEvent) {
    if (m_pRecordArray == nullptr || m_nRecordCount == 0) {
        KillTimer(nIDEvent); // nothing to list: everything stays disabled
    } else if (g_nCatalogRow >= m_nRecordCount) {
        ShowReady(nIDEvent);
    } else {
        const std::uint32_t left = m_nRecordCount - g_nCatalogRow;
        AddRows(g_nCatalogRow, g_nCatalogRow + std::min(left, CatalogRowsPerTick(m_nRecordCount)));
    }
    CDialog::OnTimer(nIDEvent);
}

// Adds rows [first, end) and counts the last of them on the status line.
void CCatalogDlg::AddRows(std::uint32_t first, std::uint32_t end) {
    m_strStatus.Format(u"%s %d/%d", kPleaseWait, end, m_nRecordCount);
    UpdateData(FALSE);
    for (std::uint32_t row = first; row < end; ++row) {
        const int item = static_cast<int>(row);
        m_listPoems.InsertItem(item, CString::Formatted(u"%d", row + 1));
        const PoemRecord& record = m_pRecordArray[row];
        m_listPoems.SetItemText(item, 1, CodePage::Decode(record.title, sizeof record.title));
        m_listPoems.SetItemText(item, 2, CodePage::Decode(record.author, sizeof record.author));
        g_nCatalogRow = row + 1;
    }
}

void CCatalogDlg::ShowReady(UINT_PTR nIDEvent) {
    m_strStatus = kReady;
    UpdateData(FALSE);
    KillTimer(nIDEvent);
    m_listPoems.EnableWindow(TRUE);
    m_btnRead.EnableWindow(TRUE);
}

void CCatalogDlg::OnClose() {
    KillTimer(kFillTimer);
    CDialog::OnClose();
}

void CCatalogDlg::OnRead() {
    if (m_listPoems.GetSelectedCount() == 0) {
        return;
    }
    const int count = m_listPoems.GetItemCount();
    for (int item = 0; item < count; ++item) {
        if (m_listPoems.GetItemState(item, LVIS_SELECTED) == LVIS_SELECTED) {
            // The reader turns the pages of the whole list; its row is selected when it closes.
            CPoemViewDlg reader(m_pRecordArray, m_nRecordCount, static_cast<std::uint32_t>(item));
            reader.SetLibrary(m_pLibrary);
            reader.DoModal();
            SelectRow(static_cast<int>(reader.GetListIndex()));
            return;
        }
    }
}

void CCatalogDlg::SelectRow(int item) {
    m_listPoems.SetItemState(item, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_listPoems.EnsureVisible(item, FALSE);
}

void RunFavouritesCatalogue() {
    const std::unique_ptr<CPoemLibrary> favourites = OpenFavourites(g_strAppPath);
    if (favourites == nullptr || favourites->GetRecords().empty()) {
        return; // the main screen offers the favourites only when there are some
    }
    const std::span<const PoemRecord> records = favourites->GetRecords();
    CCatalogDlg catalogue(records.data(), static_cast<std::uint32_t>(records.size()));
    catalogue.SetLibrary(favourites.get());
    catalogue.DoModal();
}

bool HasFavourites() {
    return CFavourites(g_strAppPath).Count() > 0;
}

void RunCatalogue() {
    if (g_pLibrary == nullptr) {
        return; // the main screen opens the catalogue only over an open library
    }
    const unsigned count = g_pLibrary->Select(nullptr, SEL_ALL);
    CCatalogDlg catalogue(g_pLibrary->GetResultBuffer(), count);
    catalogue.DoModal();
}
