#pragma once
// The search screen: the field to search, a keyword typed or picked from the lists of poets,
// dynasties and forms, the search that opens the catalogue over what it finds, and the
// reference pages about the picked poet or form.

#include "platform/ui/Controls.h"
#include "platform/ui/Dialog.h"

class CSearchDlg : public CDialog {
public:
    explicit CSearchDlg(CWnd* pParent = nullptr);
    ~CSearchDlg() override;

    CButton m_btnExplain;
    CButton m_btnIntroduce;
    CButton m_btnSearch;
    CListBox m_listForms;
    CListBox m_listAuthors;
    CListBox m_listDynasties;
    CComboBox m_comboField;
    CString m_strKeyword;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    const CMessageMap* GetMessageMap() const override;

    void OnPickAuthor();
    void OnPickForm();
    void OnPickDynasty();
    void OnSearch();
    void UpdateSearchButton();
    void OnIntroduce();
    void OnExplain();

private:
    // Puts the picked name into the keyword; false when the list has no selection.
    bool PickFrom(const CListBox& list);
    // Opens the reference page `page` at the name selected in `list`, if one is.
    static void ShowReference(const CListBox& list, const char16_t* page);
};

// The main screen's search zone.
void RunSearchDialog();
