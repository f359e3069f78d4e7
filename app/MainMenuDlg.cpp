#include "app/MainMenuDlg.h"

#include "library/LibrarySummary.h"
#include "library/PoemLibrary.h"
#include "platform/ui/Gdi.h"
#include "platform/ui/Menu.h"
#include "platform/ui/WinApp.h"
#include "resources/ResourceIds.h"
#include "settings/Settings.h"

const char16_t* const kMainScreenNotice = u"古典诗词阅读器";
const char16_t* const kMainScreenNameAndVersion = u"Lomeva 1.0";

namespace {

constexpr const char16_t* kNoLibraryWarning = u"诗词词库未安装，请安装词库然后再使用。";
constexpr const char16_t* kWarningCaption = u"警告";
constexpr const char16_t* kFace = u"宋体";

// Every zone lies in the column x 160 to 216; the zones run down it, bounds included.
constexpr int kColumnLeft = 160;
constexpr int kColumnRight = 216;

struct Span {
    int top;
    int bottom;
    bool Holds(int y) const { return y >= top && y <= bottom; }
};

constexpr Span kCatalogueZone{65, 80};
constexpr Span kSearchZone{106, 120};
constexpr Span kAddPoemZone{145, 160};
constexpr Span kOptionsZone{206, 220};

// The entries of the menu.
enum MenuCommand : UINT { kRandomPoem = 1, kFavourites };

HICON ProgramIcon() {
    CWinApp* app = AfxGetApp();
    return app != nullptr ? app->LoadIcon(IDI_MAINFRAME) : AfxLoadIcon(IDI_MAINFRAME);
}

void DrawPicture(CDC& dc, const CRect& client) {
    CBitmap picture;
    if (!picture.LoadBitmap(IDB_MAINSCREEN)) {
        return;
    }
    CDC memory;
    memory.CreateCompatibleDC(&dc);
    CBitmap* previous = memory.SelectObject(&picture);
    dc.BitBlt(0, 0, client.Width(), client.Height(), &memory, 0, 0, SRCCOPY);
    memory.SelectObject(previous);
    memory.DeleteDC();
}

void DrawSummary(CDC& dc, const CRect& client) {
    CFont font;
    font.CreatePointFont(85, kFace, &dc);
    CFont* previousFont = dc.SelectObject(&font);
    const COLORREF previousColor = dc.SetTextColor(RGB(0, 0, 0));
    CRect area(client.right - 200, 2, client.right - 5, 74);
    dc.DrawText(LibrarySummary(g_pLibrary), area, DT_RIGHT);
    dc.SetTextColor(previousColor);
    dc.SelectObject(previousFont);
}

void DrawFixedLines(CDC& dc, const CRect& client) {
    CFont font;
    font.CreatePointFont(90, kFace, &dc);
    CFont* previousFont = dc.SelectObject(&font);
    const COLORREF previousColor = dc.SetTextColor(RGB(0, 0, 0));
    // Without DT_SINGLELINE each text starts at the top of its rectangle, so the two lines stand
    // 15 pixels apart although the rectangles overlap.
    CRect notice(client.left, client.bottom - 40, client.right, client.bottom - 15);
    dc.DrawText(kMainScreenNotice, notice, DT_CENTER | DT_VCENTER);
    CRect nameAndVersion(client.left, client.bottom - 25, client.right, client.bottom);
    dc.DrawText(kMainScreenNameAndVersion, nameAndVersion, DT_CENTER | DT_VCENTER);
    dc.SetTextColor(previousColor);
    dc.SelectObject(previousFont);
}

} // namespace

CMainMenuDlg::CMainMenuDlg(CWnd* pParent, ZoneActions actions)
    : CDialog(IDD_MAINMENU, pParent), m_hIcon(ProgramIcon()), m_actions(std::move(actions)) {}

CMainMenuDlg::~CMainMenuDlg() = default;

const CMessageMap* CMainMenuDlg::GetMessageMap() const {
    static const CMessageMapOf<CMainMenuDlg> map(CDialog::GetMessageMap(),
                                                 {
                                                     On::LButtonDown(&CMainMenuDlg::OnLButtonDown),
                                                     On::Paint(&CMainMenuDlg::OnPaint),
                                                     On::ContextMenu(&CMainMenuDlg::OnContextMenu),
                                                 });
    return &map;
}

BOOL CMainMenuDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    SendMessage(WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(m_hIcon));
    SendMessage(WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(m_hIcon));
    CenterWindow();
    return TRUE;
}

void CMainMenuDlg::OnPaint() {
    CPaintDC dc(this);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(RGB(0, 0, 0));
    CRect client;
    GetClientRect(client);
    DrawPicture(dc, client);
    DrawSummary(dc, client);
    DrawFixedLines(dc, client);
}

void CMainMenuDlg::OnLButtonDown(UINT nFlags, CPoint point) {
    if (point.x >= kColumnLeft && point.x <= kColumnRight) {
        RunZoneAt(point.y);
    }
    CDialog::OnLButtonDown(nFlags, point);
}

void CMainMenuDlg::RunZoneAt(int y) {
    // The options need no library, and may install one: the library is looked at afterwards.
    if (kOptionsZone.Holds(y)) {
        Run(m_actions.options);
    }
    if (g_pLibrary == nullptr) {
        MessageBox(kNoLibraryWarning, kWarningCaption, MB_ICONEXCLAMATION);
        return;
    }
    if (kCatalogueZone.Holds(y)) {
        Run(m_actions.catalogue);
    } else if (kSearchZone.Holds(y)) {
        Run(m_actions.search);
    } else if (kAddPoemZone.Holds(y)) {
        Run(m_actions.addPoem);
    }
}

void CMainMenuDlg::OnContextMenu(CWnd*, CPoint point) {
    const bool hasPoems = g_pLibrary != nullptr && g_pLibrary->m_nCount > 0;
    const bool hasFavourites = m_actions.hasFavourites && m_actions.hasFavourites();
    CMenu menu;
    menu.CreatePopupMenu();
    menu.AppendMenu(hasPoems ? MF_STRING : MF_GRAYED, kRandomPoem, u"随机一首");
    menu.AppendMenu(hasFavourites ? MF_STRING : MF_GRAYED, kFavourites, u"我的收藏");
    switch (menu.TrackPopupMenu(TPM_RETURNCMD, point.x, point.y, this)) {
    case kRandomPoem:
        Run(m_actions.randomPoem);
        break;
    case kFavourites:
        Run(m_actions.favourites);
        break;
    default:
        break;
    }
}

void CMainMenuDlg::Run(const std::function<void()>& action) {
    if (action) {
        action();
    }
}
