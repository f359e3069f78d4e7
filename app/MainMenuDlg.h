#pragma once
// The main screen: the picture with its four framed buttons, the summary of the open library at
// the top right, two fixed lines at the bottom, and taps in the right-hand column that open the
// catalogue, the search, the add-poem screen or the options. A tap-and-hold anywhere opens its
// menu: a poem at random, and the favourites.

#include "app/ZoneActions.h"
#include "platform/ui/Dialog.h"

class CMainMenuDlg : public CDialog {
public:
    explicit CMainMenuDlg(CWnd* pParent = nullptr, ZoneActions actions = ProgramZoneActions());
    ~CMainMenuDlg() override;

protected:
    BOOL OnInitDialog() override;
    const CMessageMap* GetMessageMap() const override;

    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnPaint();
    void OnContextMenu(CWnd* pWnd, CPoint point);

    HICON m_hIcon;

private:
    void RunZoneAt(int y);
    static void Run(const std::function<void()>& action);

    ZoneActions m_actions;
};

// The first of the two fixed lines at the bottom, and the second: the program's name and version.
extern const char16_t* const kMainScreenNotice;
extern const char16_t* const kMainScreenNameAndVersion;
