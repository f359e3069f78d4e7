#pragma once
// The add-poem screen: the user types a title, picks a form, types an author and the poem, and
// the save button appends it to the open library's files. The poem shows once the library is
// opened again, which the success message tells the user.

#include "platform/core/CString.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialog.h"

class CAddPoemDlg : public CDialog {
public:
    explicit CAddPoemDlg(CWnd* pParent = nullptr);

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    const CMessageMap* GetMessageMap() const override;

    void OnSave();

    CComboBox m_comboForm;
    CString m_strAuthor;
    CString m_strContent;
    CString m_strTitle;

private:
    void FillFormList();
    // The chosen form's name from the table, or null when none is chosen.
    const char16_t* SelectedForm() const;
};

// The main screen's add-poem zone: runs the screen modally and returns once it has closed.
void RunAddPoemDialog();
