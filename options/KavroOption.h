#pragma once
// The options sheet "选项": the colour, background and library pages.

#include "platform/ui/PropertySheet.h"

class CKavroOption : public CPropertySheet {
public:
    explicit CKavroOption(const CString& caption, CWnd* pParentWnd = nullptr, UINT iSelectPage = 0);
    ~CKavroOption() override;

    static const CRuntimeClass classCKavroOption;
    const CRuntimeClass* GetRuntimeClass() const override { return &classCKavroOption; }
};

// The main screen's options action: makes the three pages and the sheet anew, so that they show
// the settings as they are now, runs the sheet and returns once it has closed. Each page has
// stored its own changes by then.
void RunOptionsSheet();
