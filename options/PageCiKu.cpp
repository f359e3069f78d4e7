#include "options/PageCiKu.h"

#include "platform/core/FindFile.h"
#include "resources/ResourceIds.h"
#include "settings/InstalledLibrary.h"
#include "settings/Settings.h"

#include <memory>
#include <new>

const CRuntimeClass CPageCiKu::classCPageCiKu{"CPageCiKu", &CPropertyPage::classCPropertyPage,
                                              &CreateRuntimeObject<CPageCiKu>};

namespace {

constexpr const char16_t* kLoadFailed = u"调入诗词库失败";
constexpr const char16_t* kLoaded = u"调入诗词库成功!\n索引:%s\n数据:%s";
constexpr const char16_t* kInformation = u"提示";

// "a.b.idx" is the library "a.b"; ".idx" the library with an empty name.
CString BaseName(const CString& fileName) {
    const int dot = fileName.ReverseFind(u'.');
    return dot >= 0 ? fileName.Left(dot) : fileName;
}

} // namespace

CPageCiKu::CPageCiKu() : CPropertyPage(IDD_PAGE_LIBRARY) {}

CPageCiKu::~CPageCiKu() = default;

void CPageCiKu::DoDataExchange(CDataExchange* pDX) {
    CPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_LIST_LIBRARIES_SHARED, m_listCiKu);
}

const CMessageMap* CPageCiKu::GetMessageMap() const {
    static const CMessageMapOf<CPageCiKu> map(CPropertyPage::GetMessageMap(),
                                              {
                                                  On::Clicked(IDC_BTN_LOAD, &CPageCiKu::OnLoad),
                                              });
    return &map;
}

BOOL CPageCiKu::OnInitDialog() {
    CPropertyPage::OnInitDialog();
    FillLibraryList();
    return TRUE;
}

void CPageCiKu::FillLibraryList() {
    const CString pattern = g_strAppPath + u"*.idx";
    WIN32_FIND_DATA found{};
    HANDLE search = FindFirstFile(pattern.GetString(), &found);
    if (search == INVALID_HANDLE_VALUE) {
        return; // nothing found, and no search to close
    }
    do {
        m_listCiKu.AddString(BaseName(found.cFileName));
    } while (FindNextFile(search, &found));
    FindClose(search);
}

void CPageCiKu::OnLoad() {
    UpdateData(TRUE);
    const int selected = m_listCiKu.GetCurSel();
    CString message = kLoadFailed;
    if (selected != LB_ERR) {
        CString baseName;
        m_listCiKu.GetText(selected, baseName);
        message = InstallLibrary(baseName);
    }
    MessageBox(message, kInformation, MB_OK);
}

CString CPageCiKu::InstallLibrary(const CString& baseName) {
    const CString indexName = baseName + u".idx";
    const CString dataName = baseName + u".dat";
    // The open library goes first, whatever follows: there is only ever one library object.
    ::InstallLibrary(nullptr);
    std::unique_ptr<CPoemLibrary> library(new (std::nothrow) CPoemLibrary(g_strAppPath));
    if (library == nullptr) {
        return kLoadFailed;
    }
    library->SetFileNames(indexName, dataName);
    const OpenResult opened = library->Open();
    // A library that fails to open stays installed; every screen treats it as one without
    // poems and refuses to write to it.
    ::InstallLibrary(std::move(library));
    if (!opened) {
        ShowOpenFailure(opened);
        return kLoadFailed;
    }
    return CString::Formatted(kLoaded, indexName, dataName);
}
