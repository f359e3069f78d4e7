#include "browse/SearchDlg.h"

#include "browse/CatalogDlg.h"
#include "library/NameTables.h"
#include "library/PoemLibrary.h"
#include "platform/ui/DataExchange.h"
#include "reading/RefPageDlg.h"
#include "resources/ResourceIds.h"
#include "settings/Settings.h"

#include <span>
#include <string_view>

namespace {

constexpr const char16_t* kNothingFound = u"没有检索到你希望的诗词!";
constexpr const char16_t* kNotice = u"提示";

// The field code of each item of the field combo: 标题 作者 朝代 格律 全文. Searching every
// field at once (SEL_ALL) is not offered here.
constexpr DWORD_PTR kFieldCodes[] = {SEL_TITLE, SEL_AUTHOR, SEL_DYNASTY, SEL_FORM, SEL_FULLTEXT};

// Appends the names of a table up to the first one shorter than two characters, so the empty
// name at its end stops it.
void FillList(CListBox& list, std::span<const char16_t* const> names) {
    for (const char16_t* name : names) {
        if (name == nullptr || std::u16string_view(name).size() < 2) {
            break;
        }
        list.AddString(name);
    }
}

} // namespace

CSearchDlg::CSearchDlg(CWnd* pParent) : CDialog(IDD_SEARCH, pParent) {}

CSearchDlg::~CSearchDlg() = default;

void CSearchDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_BTN_EXPLAIN, m_btnExplain);
    DDX_Control(pDX, IDC_BTN_INTRODUCE, m_btnIntroduce);
    DDX_Control(pDX, IDC_BTN_SEARCH, m_btnSearch);
    DDX_Control(pDX, IDC_LIST_FORMS, m_listForms);
    DDX_Control(pDX, IDC_LIST_AUTHORS_SHARED, m_listAuthors);
    DDX_Control(pDX, IDC_LIST_DYNASTIES_SHARED, m_listDynasties);
    DDX_Control(pDX, IDC_COMBO_FIELD, m_comboField);
    DDX_Text(pDX, IDC_EDIT_KEYWORD, m_strKeyword);
}

const CMessageMap* CSearchDlg::GetMessageMap() const {
    static const CMessageMapOf<CSearchDlg> map(
        CDialog::GetMessageMap(),
        {
            On::SelChange(IDC_LIST_AUTHORS_SHARED, &CSearchDlg::OnPickAuthor),
            On::SelChange(IDC_LIST_FORMS, &CSearchDlg::OnPickForm),
            On::SelChange(IDC_LIST_DYNASTIES_SHARED, &CSearchDlg::OnPickDynasty),
            On::Clicked(IDC_BTN_SEARCH, &CSearchDlg::OnSearch),
            On::EditChange(IDC_EDIT_KEYWORD, &CSearchDlg::UpdateSearchButton),
            On::Clicked(IDC_BTN_INTRODUCE, &CSearchDlg::OnIntroduce),
            On::Clicked(IDC_BTN_EXPLAIN, &CSearchDlg::OnExplain),
        });
    return &map;
}

BOOL CSearchDlg::OnInitDialog() {
    CDialog::OnInitDialog(); // the five fields come from the template
    FillList(m_listAuthors, g_authorNames);
    FillList(m_listDynasties, g_dynastyNames);
    FillList(m_listForms, g_searchFormNames);
    for (int item = 0; item < static_cast<int>(std::size(kFieldCodes)); ++item) {
        m_comboField.SetItemData(item, kFieldCodes[item]);
    }
    m_comboField.SetCurSel(0);
    return TRUE;
}

void CSearchDlg::UpdateSearchButton() {
    UpdateData(TRUE);
    m_btnSearch.EnableWindow(!m_strKeyword.IsEmpty());
}

bool CSearchDlg::PickFrom(const CListBox& list) {
    const int index = list.GetCurSel();
    if (index == LB_ERR) {
        return false;
    }
    list.GetText(index, m_strKeyword);
    UpdateData(FALSE);
    UpdateSearchButton();
    return true;
}

void CSearchDlg::OnPickAuthor() {
    m_btnIntroduce.EnableWindow(PickFrom(m_listAuthors));
}

void CSearchDlg::OnPickForm() {
    m_btnExplain.EnableWindow(PickFrom(m_listForms));
}

void CSearchDlg::OnPickDynasty() {
    PickFrom(m_listDynasties);
}

void CSearchDlg::OnSearch() {
    if (g_pLibrary == nullptr) {
        return; // the main screen opens the search only over an open library
    }
    UpdateData(TRUE);
    // A pick never changes the field: the keyword is searched for where the combo says.
    const int item = m_comboField.GetCurSel();
    const SelectField field =
        item == CB_ERR ? SEL_TITLE : static_cast<SelectField>(m_comboField.GetItemData(item));
    const unsigned found = g_pLibrary->Select(m_strKeyword.GetString(), field);
    if (found == 0) {
        MessageBox(kNothingFound, kNotice, MB_OK);
        return;
    }
    CCatalogDlg catalogue(g_pLibrary->GetResultBuffer(), found);
    catalogue.DoModal();
}

void CSearchDlg::OnIntroduce() {
    ShowReference(m_listAuthors, u"authors.htm#");
}

void CSearchDlg::OnExplain() {
    ShowReference(m_listForms, u"geti.htm#");
}

void CSearchDlg::ShowReference(const CListBox& list, const char16_t* page) {
    // The list's own selection, not the keyword: typing after a pick does not change the page.
    const int index = list.GetCurSel();
    if (index == LB_ERR) {
        return;
    }
    CString name;
    list.GetText(index, name);
    CRefPageDlg reference;
    reference.m_strUrl = u"file://" + g_strAppPath + page + name;
    reference.DoModal();
}

void RunSearchDialog() {
    CSearchDlg search;
    search.DoModal();
}
