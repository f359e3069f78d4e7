#pragma once
// Popup menus: a menu is made empty, filled with strings and separators, and tracked at a point
// of the screen, where it shows as a panel over the screen in front until the user chooses an
// entry or cancels (Esc, a tap outside it, or the window closing):
//
//     CMenu menu;
//     menu.CreatePopupMenu();
//     menu.AppendMenu(MF_STRING, ID_NEXT, u"下一首");
//     menu.AppendMenu(MF_SEPARATOR);
//     menu.EnableMenuItem(ID_NEXT, MF_BYCOMMAND | MF_GRAYED);
//     const UINT chosen = menu.TrackPopupMenu(TPM_RETURNCMD, point.x, point.y, this);
//
// Points are in the client pixels of the screen (where WM_CONTEXTMENU gives them); (-1, -1), as
// the Menu key gives it, centres the menu on the screen.

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/UiConstants.h"

#include <memory>
#include <vector>

class CWnd;

using HMENU = struct HMENU__*;

// Entry flags.
constexpr UINT MF_STRING = 0x0000;
constexpr UINT MF_ENABLED = 0x0000;
constexpr UINT MF_GRAYED = 0x0001;
constexpr UINT MF_DISABLED = 0x0002;
constexpr UINT MF_UNCHECKED = 0x0000;
constexpr UINT MF_CHECKED = 0x0008;
constexpr UINT MF_BYCOMMAND = 0x0000;
constexpr UINT MF_BYPOSITION = 0x0400;
constexpr UINT MF_SEPARATOR = 0x0800;

// TrackPopupMenu flags.
constexpr UINT TPM_LEFTALIGN = 0x0000;
constexpr UINT TPM_TOPALIGN = 0x0000;
constexpr UINT TPM_RETURNCMD = 0x0100;

// One entry of a menu.
struct MenuItem {
    UINT flags = MF_STRING; // MF_SEPARATOR, MF_GRAYED, MF_CHECKED
    UINT id = 0;
    CString text;

    bool IsSeparator() const { return (flags & MF_SEPARATOR) != 0; }
    bool IsEnabled() const { return !IsSeparator() && (flags & (MF_GRAYED | MF_DISABLED)) == 0; }
    bool IsChecked() const { return (flags & MF_CHECKED) != 0; }
};

struct HMENU__ {
    std::vector<MenuItem> items;
};

// Shows the menu at (x, y) and returns once it has closed. With TPM_RETURNCMD: the id of the
// entry chosen, or 0 when the menu was cancelled. Without it, the chosen entry's id goes to
// `owner` as WM_COMMAND (the notification code 0, as a menu sends it), and the result is nonzero
// when an entry was chosen.
UINT TrackPopupMenu(HMENU menu, UINT flags, int x, int y, int reserved, HWND owner,
                    const RECT* rect = nullptr);

class CMenu {
public:
    CMenu();
    ~CMenu();
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    // Makes the menu, empty; a menu made already is emptied.
    BOOL CreatePopupMenu();
    BOOL DestroyMenu();
    HMENU GetSafeHmenu() const { return m_menu.get(); }

    // Appends a string entry with `id`, or a separator (MF_SEPARATOR, no id or text).
    BOOL AppendMenu(UINT flags, UINT_PTR id = 0, const CString& text = CString());
    // The entry's previous state (MF_ENABLED, MF_GRAYED or MF_DISABLED), or (UINT)-1 for no
    // such entry. `enable` holds MF_BYCOMMAND or MF_BYPOSITION and the new state.
    UINT EnableMenuItem(UINT item, UINT enable);
    // The entry's previous check (MF_CHECKED or MF_UNCHECKED), or (DWORD)-1 for no such entry.
    DWORD CheckMenuItem(UINT item, UINT check);
    UINT GetMenuItemCount() const;
    // The entry's id at `position`: 0 for a separator, (UINT)-1 for no such entry.
    UINT GetMenuItemID(int position) const;
    // The entry's flags, or (UINT)-1 for no such entry.
    UINT GetMenuState(UINT item, UINT flags) const;
    CString GetMenuString(UINT item, UINT flags) const;

    // See ::TrackPopupMenu; `owner` receives the command when TPM_RETURNCMD is not given.
    UINT TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT* rect = nullptr);

private:
    MenuItem* Find(UINT item, UINT flags);
    const MenuItem* Find(UINT item, UINT flags) const;

    std::unique_ptr<HMENU__> m_menu;
};
