#include "entry/AddPoemDlg.h"

#include "library/NameTables.h"
#include "library/PoemEntry.h"
#include "library/PoemLibrary.h"
#include "platform/ui/DataExchange.h"
#include "resources/ResourceIds.h"
#include "settings/Settings.h"

#include <new>
#include <string_view>

namespace {

constexpr const char16_t* kSavedMessage = u"你的诗句已经加入到Lomeva\n需要重新启动Lomeva才能生效!";
constexpr const char16_t* kNoMemoryMessage = u"你的Pocket PC可能没有足够的内存\n不能处理并保存。";
constexpr const char16_t* kNoLibraryMessage = u"诗词词库未安装，请安装词库然后再使用。";
constexpr const char16_t* kInfoCaption = u"提示";
constexpr const char16_t* kWarningCaption = u"警告";

constexpr const char16_t* kDefaultAuthor = u"作者姓名";
constexpr const char16_t* kDefaultContent = u"诗词内容";
constexpr const char16_t* kDefaultTitle = u"诗词标题";

// A name table's list ends at its first name shorter than two characters.
bool EndsList(const char16_t* name) {
    return name == nullptr || std::u16string_view(name).size() < 2;
}

} // namespace

CAddPoemDlg::CAddPoemDlg(CWnd* pParent) : CDialog(IDD_ADDPOEM, pParent) {}

void CAddPoemDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_COMBO_FORM, m_comboForm);
    DDX_Text(pDX, IDC_EDIT_AUTHOR, m_strAuthor);
    DDX_Text(pDX, IDC_EDIT_CONTENT, m_strContent);
    DDX_Text(pDX, IDC_EDIT_TITLE, m_strTitle);
}

const CMessageMap* CAddPoemDlg::GetMessageMap() const {
    static const CMessageMapOf<CAddPoemDlg> map(CDialog::GetMessageMap(),
                                                {
                                                    On::Clicked(IDC_BTN_SAVE, &CAddPoemDlg::OnSave),
                                                });
    return &map;
}

BOOL CAddPoemDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    FillFormList();
    m_comboForm.SetCurSel(0);
    m_strAuthor = kDefaultAuthor;
    m_strContent = kDefaultContent;
    m_strTitle = kDefaultTitle;
    UpdateData(FALSE);
    return TRUE;
}

void CAddPoemDlg::FillFormList() {
    for (const char16_t* name : g_entryFormNames) {
        if (EndsList(name)) {
            break;
        }
        m_comboForm.AddString(name);
    }
}

const char16_t* CAddPoemDlg::SelectedForm() const {
    const int index = m_comboForm.GetCurSel();
    // The combo holds the table in order, so its index is the table's; the name comes from the
    // table so that what is stored never depends on what the combo shows.
    if (index < 0 || static_cast<std::size_t>(index) >= g_entryFormNames.size() ||
        EndsList(g_entryFormNames[static_cast<std::size_t>(index)])) {
        return nullptr;
    }
    return g_entryFormNames[static_cast<std::size_t>(index)];
}

void CAddPoemDlg::OnSave() {
    if (!UpdateData(TRUE)) {
        return;
    }
    if (g_pLibrary == nullptr) {
        MessageBox(kNoLibraryMessage, kWarningCaption, MB_ICONEXCLAMATION);
        return;
    }
    // The record and the text buffer live for this save only. A field too long for its record
    // is refused rather than cut, so that nothing is stored other than what was typed.
    std::optional<PoemEntry> entry;
    CString refusal;
    try {
        entry = PrepareEntry(m_strTitle, m_strAuthor, SelectedForm(), m_strContent, refusal);
    } catch (const std::bad_alloc&) {
        MessageBox(kNoMemoryMessage, kWarningCaption, MB_ICONEXCLAMATION);
        return;
    }
    if (!entry) {
        MessageBox(refusal, kWarningCaption, MB_ICONEXCLAMATION);
        return;
    }
    // The whole buffer is stored, the zero bytes after a shorter text included; the library
    // shows its own message when the append fails.
    if (g_pLibrary->AppendPoem(entry->record, entry->text.data(),
                               static_cast<unsigned>(entry->text.size()))) {
        MessageBox(kSavedMessage, kInfoCaption, MB_OK);
    }
}

void RunAddPoemDialog() {
    CAddPoemDlg dialog;
    dialog.DoModal();
}
