#pragma once
// The colour page: the four colours of the poem page as six hexadecimal digits each, a colour
// chooser for each row, and "应用", which stores all four into the settings.

#include "platform/ui/DataExchange.h"
#include "platform/ui/PropertySheet.h"

// The chooser's 16 custom colours for the whole run: black when the program starts, kept from
// one chooser call to the next, never saved.
extern COLORREF g_crCustomColors[16];

class CPageBrowse : public CPropertyPage {
public:
    CPageBrowse();
    ~CPageBrowse() override;

    static const CRuntimeClass classCPageBrowse;
    const CRuntimeClass* GetRuntimeClass() const override { return &classCPageBrowse; }

    // Each row's colour as the page holds it until "应用".
    CString m_strAuthorColor; // the dynasty and author line, edit 1019
    CString m_strTextColor;   // the poem text, edit 1020
    CString m_strTitleColor;  // edit 1018
    CString m_strFormColor;   // edit 1025

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    const CMessageMap* GetMessageMap() const override;

    void OnChooseFormColor();
    void OnChooseTitleColor();
    void OnChooseAuthorColor();
    void OnChooseTextColor();
    void OnApply();

private:
    void ChooseColorFor(CString& color);
};
