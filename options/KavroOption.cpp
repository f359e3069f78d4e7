#include "options/KavroOption.h"

#include "options/PageBackGround.h"
#include "options/PageBrowse.h"
#include "options/PageCiKu.h"

const CRuntimeClass CKavroOption::classCKavroOption{"CKavroOption",
                                                    &CPropertySheet::classCPropertySheet, nullptr};

CKavroOption::CKavroOption(const CString& caption, CWnd* pParentWnd, UINT iSelectPage)
    : CPropertySheet(caption, pParentWnd, iSelectPage) {}

CKavroOption::~CKavroOption() = default;

void RunOptionsSheet() {
    CPageBrowse pageBrowse;
    CPageBackGround pageBackGround;
    CPageCiKu pageCiKu;
    CKavroOption sheet(u"选项", nullptr, 0);
    sheet.AddPage(&pageBrowse);
    sheet.AddPage(&pageBackGround);
    sheet.AddPage(&pageCiKu);
    // How the sheet was closed does not matter: the pages have stored what they change.
    sheet.DoModal();
}
