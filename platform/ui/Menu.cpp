#include "platform/ui/Menu.h"

#include "platform/ui/Wnd.h"

CMenu::CMenu() = default;

CMenu::~CMenu() = default;

BOOL CMenu::CreatePopupMenu() {
    m_menu = std::make_unique<HMENU__>();
    return TRUE;
}

BOOL CMenu::DestroyMenu() {
    const bool had = m_menu != nullptr;
    m_menu.reset();
    return had ? TRUE : FALSE;
}

BOOL CMenu::AppendMenu(UINT flags, UINT_PTR id, const CString& text) {
    if (!m_menu) {
        return FALSE;
    }
    MenuItem item;
    item.flags = flags & ~MF_BYPOSITION;
    if (!item.IsSeparator()) {
        item.id = static_cast<UINT>(id);
        item.text = text;
    }
    m_menu->items.push_back(std::move(item));
    return TRUE;
}

MenuItem* CMenu::Find(UINT item, UINT flags) {
    return const_cast<MenuItem*>(static_cast<const CMenu*>(this)->Find(item, flags));
}

const MenuItem* CMenu::Find(UINT item, UINT flags) const {
    if (!m_menu) {
        return nullptr;
    }
    auto& items = m_menu->items;
    if ((flags & MF_BYPOSITION) != 0) {
        return item < items.size() ? &items[item] : nullptr;
    }
    for (const MenuItem& entry : items) {
        if (!entry.IsSeparator() && entry.id == item) {
            return &entry;
        }
    }
    return nullptr;
}

UINT CMenu::EnableMenuItem(UINT item, UINT enable) {
    MenuItem* entry = Find(item, enable);
    if (entry == nullptr) {
        return static_cast<UINT>(-1);
    }
    constexpr UINT kStates = MF_GRAYED | MF_DISABLED;
    const UINT previous = entry->flags & kStates;
    entry->flags = (entry->flags & ~kStates) | (enable & kStates);
    return previous;
}

DWORD CMenu::CheckMenuItem(UINT item, UINT check) {
    MenuItem* entry = Find(item, check);
    if (entry == nullptr) {
        return static_cast<DWORD>(-1);
    }
    const DWORD previous = entry->flags & MF_CHECKED;
    entry->flags = (entry->flags & ~MF_CHECKED) | (check & MF_CHECKED);
    return previous;
}

UINT CMenu::GetMenuItemCount() const {
    return m_menu ? static_cast<UINT>(m_menu->items.size()) : 0;
}

UINT CMenu::GetMenuItemID(int position) const {
    const MenuItem* entry =
        position >= 0 ? Find(static_cast<UINT>(position), MF_BYPOSITION) : nullptr;
    return entry != nullptr ? entry->id : static_cast<UINT>(-1);
}

UINT CMenu::GetMenuState(UINT item, UINT flags) const {
    const MenuItem* entry = Find(item, flags);
    return entry != nullptr ? entry->flags : static_cast<UINT>(-1);
}

CString CMenu::GetMenuString(UINT item, UINT flags) const {
    const MenuItem* entry = Find(item, flags);
    return entry != nullptr ? entry->text : CString();
}

UINT CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner, const RECT* rect) {
    if (!m_menu) {
        return 0;
    }
    return ::TrackPopupMenu(m_menu.get(), flags, x, y, 0,
                            owner != nullptr ? owner->GetSafeHwnd() : nullptr, rect);
}
