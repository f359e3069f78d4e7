#pragma once
// The library page: every index file ("*.idx") of the program folder by its base name, and
// "选 用", which replaces the open library with the chosen one.

#include "platform/ui/Controls.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/PropertySheet.h"

class CPageCiKu : public CPropertyPage {
public:
    CPageCiKu();
    ~CPageCiKu() override;

    static const CRuntimeClass classCPageCiKu;
    const CRuntimeClass* GetRuntimeClass() const override { return &classCPageCiKu; }

    BOOL OnInitDialog() override;

    CListBox m_listCiKu; // 1008: base names, in the order the folder gives them

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    const CMessageMap* GetMessageMap() const override;

    void OnLoad();

private:
    void FillLibraryList();
    // Replaces g_pLibrary with the library `baseName`; the message to show afterwards.
    static CString InstallLibrary(const CString& baseName);
};
