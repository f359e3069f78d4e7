#include "platform/ui/Dialog.h"

#include "platform/core/Services.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/DialogTemplate.h"
#include "platform/ui/qt/DialogRun.h"
#include "platform/ui/qt/ScreenInput.h"

#include <QApplication>

#include <cstdio>
#include <memory>

namespace {

void ReportMissingTemplate(UINT id) {
    std::fprintf(stderr, "lomeva: there is no dialog template %u\n", id);
}

} // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_pParentWnd(pParentWnd), m_nIDTemplate(nIDTemplate) {}

CDialog::~CDialog() = default;

INT_PTR CDialog::DoModal() {
    if (m_pRun != nullptr || QApplication::instance() == nullptr) {
        return -1;
    }
    const DialogTemplate* dialogTemplate = FindDialogTemplate(m_nIDTemplate);
    if (dialogTemplate == nullptr) {
        ReportMissingTemplate(m_nIDTemplate);
        return -1;
    }
    CScreen& screen = CScreen::Instance();
    if (screen.IsClosing()) {
        return IDCANCEL;
    }
    auto record = std::make_unique<CDialogRecord>(*dialogTemplate, screen.ClientArea());
    WatchScreenInput(screen.Window());
    record->Attach(this);
    CDialogRun content(std::move(record), BarCaption(dialogTemplate->caption));
    CModalRun run(content);
    m_pRun = &run;
    InitDialog();
    m_nModalResult = run.Exec(IDCANCEL);
    m_pRun = nullptr;
    return m_nModalResult;
}

void CDialog::InitDialog() {
    if (OnInitDialog() != FALSE && m_pRun != nullptr && !m_pRun->HasEnded()) {
        if (auto* record = dynamic_cast<CDialogRecord*>(Record())) {
            record->FocusFirstControl();
        }
    }
}

void CDialog::EndDialog(int nResult) {
    m_nModalResult = nResult;
    if (m_pRun != nullptr) {
        m_pRun->End(nResult);
    }
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate) {
    if (Record() == nullptr) {
        return FALSE;
    }
    CDataExchange exchange(this, bSaveAndValidate);
    try {
        DoDataExchange(&exchange);
    } catch (const CDataExchange::Failure&) {
        return FALSE;
    }
    return TRUE;
}

BOOL CDialog::OnInitDialog() {
    if (auto* record = dynamic_cast<CDialogRecord*>(Record())) {
        record->FillInitData();
    }
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::DoDataExchange(CDataExchange*) {}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) {
        return;
    }
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

const CMessageMap* CDialog::GetMessageMap() const {
    static const CMessageMapOf<CDialog> map(
        CWnd::GetMessageMap(), {
                                   On::Command(IDOK, BN_CLICKED, &CDialog::OnOK),
                                   On::Command(IDCANCEL, BN_CLICKED, &CDialog::OnCancel),
                               });
    return &map;
}
