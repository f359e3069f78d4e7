#include "options/PageBackGround.h"

#include "platform/core/ProgramFiles.h"
#include "platform/core/ProgramLauncher.h"
#include "resources/ResourceIds.h"
#include "settings/Settings.h"

const CRuntimeClass CPageBackGround::classCPageBackGround{
    "CPageBackGround", &CPropertyPage::classCPropertyPage, &CreateRuntimeObject<CPageBackGround>};

namespace {

// The launch record's size on the handheld.
constexpr DWORD kShellExecuteInfoSize = 60;

// The file number of the selected entry. A selection change that leaves nothing selected (the
// user took the selection back) falls back to the first file, and the page shows that name too,
// so that it never names a file other than the one in use.
unsigned EntryNumber(int selected) {
    return selected == LB_ERR ? 1u : static_cast<unsigned>(selected) + 1;
}

void FillNumbered(CListBox& list, const char16_t* label, unsigned count) {
    for (unsigned number = 1; number <= count; ++number) {
        list.AddString(CString::Formatted(u"%s%u", label, number));
    }
}

} // namespace

CPageBackGround::CPageBackGround() : CPropertyPage(IDD_PAGE_BACKGROUND) {}

CPageBackGround::~CPageBackGround() = default;

void CPageBackGround::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LIST_MUSIC_SHARED, m_listMusic);
    DDX_Control(pDX, IDC_LIST_PICTURES_SHARED, m_listPicture);
    DDX_Text(pDX, IDC_STATIC_PICTURE_SHARED, m_strPicture);
    DDX_Text(pDX, IDC_STATIC_MUSIC, m_strMusic);
}

const CMessageMap* CPageBackGround::GetMessageMap() const {
    static const CMessageMapOf<CPageBackGround> map(
        CPropertyPage::GetMessageMap(),
        {
            On::Clicked(IDC_BTN_PREVIEW, &CPageBackGround::OnPreview),
            On::SelChange(IDC_LIST_PICTURES_SHARED, &CPageBackGround::OnSelChangePicture),
            On::SelChange(IDC_LIST_MUSIC_SHARED, &CPageBackGround::OnSelChangeMusic),
        });
    return &map;
}

BOOL CPageBackGround::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    FillNumbered(m_listPicture, u"图片", kBackgroundPictureCount);
    FillNumbered(m_listMusic, u"音乐", kBackgroundMusicCount);
    m_strPicture = g_strBackPicture;
    m_strMusic = g_strBackMusic;
    UpdateData(FALSE);
    // Neither list has a selection: the names above say what is in use.
    return TRUE;
}

void CPageBackGround::OnSelChangePicture() {
    UpdateData(TRUE);
    m_strPicture = CString::FromUtf8(BackgroundPictureName(EntryNumber(m_listPicture.GetCurSel())));
    g_strBackPicture = m_strPicture;
    UpdateData(FALSE);
}

void CPageBackGround::OnSelChangeMusic() {
    UpdateData(TRUE);
    m_strMusic = CString::FromUtf8(BackgroundMusicName(EntryNumber(m_listMusic.GetCurSel())));
    g_strBackMusic = m_strMusic;
    UpdateData(FALSE);
}

void CPageBackGround::OnPreview() {
    // The viewer gets the picture in use, which is the selected one once there is a selection.
    const CString path = g_strAppPath + g_strBackPicture;
    SHELLEXECUTEINFO info{};
    info.cbSize = kShellExecuteInfoSize;
    info.hwnd = GetSafeHwnd();
    info.lpVerb = u"open";
    info.lpFile = u"pimg.exe";
    info.lpParameters = path.GetString();
    // The viewer runs on its own; a launch that fails is not worth a message.
    ::ShellExecuteEx(&info);
}
