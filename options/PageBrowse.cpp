#include "options/PageBrowse.h"

#include "platform/core/ColorChooser.h"
#include "resources/ResourceIds.h"
#include "settings/Settings.h"

COLORREF g_crCustomColors[16] = {};

const CRuntimeClass CPageBrowse::classCPageBrowse{"CPageBrowse", &CPropertyPage::classCPropertyPage,
                                                  &CreateRuntimeObject<CPageBrowse>};

namespace {

// The chooser's record is 36 bytes on the handheld, and its size field says so.
constexpr DWORD kChooseColorSize = 36;
constexpr int kColorDigits = 6;

// Red, green and blue as six lower-case hexadecimal digits: an HTML colour without its '#'.
CString HexColor(COLORREF color) {
    return CString::Formatted(u"%02x%02x%02x", GetRValue(color), GetGValue(color),
                              GetBValue(color));
}

} // namespace

CPageBrowse::CPageBrowse()
    : CPropertyPage(IDD_PAGE_COLOURS), m_strAuthorColor(g_strAuthorColor),
      m_strTextColor(g_strTextColor), m_strTitleColor(g_strTitleColor),
      m_strFormColor(g_strFormColor) {}

CPageBrowse::~CPageBrowse() = default;

void CPageBrowse::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_EDIT_AUTHORCOLOR, m_strAuthorColor);
    DDV_MaxChars(pDX, m_strAuthorColor, kColorDigits);
    DDX_Text(pDX, IDC_EDIT_TEXTCOLOR, m_strTextColor);
    DDV_MaxChars(pDX, m_strTextColor, kColorDigits);
    DDX_Text(pDX, IDC_EDIT_TITLECOLOR, m_strTitleColor);
    DDV_MaxChars(pDX, m_strTitleColor, kColorDigits);
    DDX_Text(pDX, IDC_EDIT_FORMCOLOR, m_strFormColor);
    DDV_MaxChars(pDX, m_strFormColor, kColorDigits);
}

const CMessageMap* CPageBrowse::GetMessageMap() const {
    static const CMessageMapOf<CPageBrowse> map(
        CPropertyPage::GetMessageMap(),
        {
            On::Clicked(IDC_BTN_FORMCOLOR_SHARED, &CPageBrowse::OnChooseFormColor),
            On::Clicked(IDC_BTN_TITLECOLOR, &CPageBrowse::OnChooseTitleColor),
            On::Clicked(IDC_BTN_AUTHORCOLOR, &CPageBrowse::OnChooseAuthorColor),
            On::Clicked(IDC_BTN_TEXTCOLOR, &CPageBrowse::OnChooseTextColor),
            On::Clicked(IDC_BTN_APPLY, &CPageBrowse::OnApply),
        });
    return &map;
}

void CPageBrowse::OnChooseFormColor() {
    ChooseColorFor(m_strFormColor);
}

void CPageBrowse::OnChooseTitleColor() {
    ChooseColorFor(m_strTitleColor);
}

void CPageBrowse::OnChooseAuthorColor() {
    ChooseColorFor(m_strAuthorColor);
}

void CPageBrowse::OnChooseTextColor() {
    ChooseColorFor(m_strTextColor);
}

void CPageBrowse::ChooseColorFor(CString& color) {
    // The chooser does not start from the row's colour; it offers the custom colours and keeps
    // whatever the user defines among them.
    CHOOSECOLOR choice{};
    choice.lStructSize = kChooseColorSize;
    choice.hwndOwner = GetSafeHwnd();
    choice.lpCustColors = g_crCustomColors;
    choice.Flags = CC_SOLIDCOLOR | CC_ANYCOLOR;
    if (!::ChooseColor(&choice)) {
        return; // a cancel asks for no change: the row keeps its colour
    }
    color = HexColor(choice.rgbResult);
    UpdateData(FALSE);
}

void CPageBrowse::OnApply() {
    // The edits are read-only and only ever hold six digits, so the rule cannot refuse them;
    // the colours are stored whatever it says.
    UpdateData(TRUE);
    g_strFormColor = m_strFormColor;
    g_strTitleColor = m_strTitleColor;
    g_strTextColor = m_strTextColor;
    g_strAuthorColor = m_strAuthorColor;
}
