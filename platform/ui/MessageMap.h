#pragma once
// Message maps: a window class lists which of its member functions answers which message, in a
// table read top to bottom, and chains to its base class's table. Each entry is made by a typed
// builder, so a handler's signature is checked by the compiler and no handler unpacks WPARAM or
// LPARAM itself. A map belongs to its window class: an entry whose handler is a member of a class
// that is neither that class nor one of its bases does not compile (it would be called on an
// object of another type):
//
//     const CMessageMap* CMainMenuDlg::GetMessageMap() const {
//         static const CMessageMapOf<CMainMenuDlg> map(CDialog::GetMessageMap(), {
//             On::LButtonDown(&CMainMenuDlg::OnLButtonDown),
//             On::Paint(&CMainMenuDlg::OnPaint),
//         });
//         return &map;
//     }

#include "platform/core/WinTypes.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/UiConstants.h"

#include <concepts>
#include <functional>
#include <initializer_list>
#include <vector>

class CWnd;

struct MessageEntry {
    UINT message;
    UINT id;   // WM_COMMAND only: the control id
    WORD code; // WM_COMMAND only: the notification
    std::function<void(CWnd&, WPARAM, LPARAM)> call;
};

// The table of one window class, as the message loop reads it; made as a CMessageMapOf.
class CMessageMap {
public:
    // The first entry for the message, looking at this table before its base tables. For
    // WM_COMMAND the control id and the notification must match too.
    const MessageEntry* Find(UINT message, UINT id = 0, WORD code = 0) const;

protected:
    CMessageMap(const CMessageMap* base, std::vector<MessageEntry> entries)
        : m_base(base), m_entries(std::move(entries)) {}

private:
    const CMessageMap* m_base;
    std::vector<MessageEntry> m_entries;
};

namespace On {

template <class T>
concept Window = std::derived_from<T, CWnd>;

// An entry whose handler is a member of T.
template <Window T> struct Handler { MessageEntry entry; };

} // namespace On

// The message map of window class Owner: it takes only handlers of Owner and of its bases.
template <On::Window Owner> class CMessageMapOf : public CMessageMap {
public:
    struct Entry {
        template <On::Window T>
        requires std::derived_from<Owner, T> Entry(On::Handler<T> handler)
            : entry(std::move(handler.entry)) {} // NOLINT: implicit
        MessageEntry entry;
    };

    CMessageMapOf(const CMessageMap* base, std::initializer_list<Entry> entries)
        : CMessageMap(base, Entries(entries)) {}

private:
    static std::vector<MessageEntry> Entries(std::initializer_list<Entry> entries) {
        std::vector<MessageEntry> plain;
        plain.reserve(entries.size());
        for (const Entry& e : entries) {
            plain.push_back(e.entry);
        }
        return plain;
    }
};

namespace On {

template <Window T> Handler<T> Paint(void (T::*handler)()) {
    return {
        {WM_PAINT, 0, 0, [handler](CWnd& w, WPARAM, LPARAM) { (static_cast<T&>(w).*handler)(); }}};
}

template <Window T> Handler<T> Close(void (T::*handler)()) {
    return {
        {WM_CLOSE, 0, 0, [handler](CWnd& w, WPARAM, LPARAM) { (static_cast<T&>(w).*handler)(); }}};
}

// The flags (MK_LBUTTON) and the point in client pixels.
template <Window T> Handler<T> LButtonDown(void (T::*handler)(UINT flags, CPoint point)) {
    return {{WM_LBUTTONDOWN, 0, 0, [handler](CWnd& w, WPARAM wp, LPARAM lp) {
                 (static_cast<T&>(w).*handler)(static_cast<UINT>(wp),
                                               CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)));
             }}};
}

// A tap-and-hold, a right click or the Menu key asks for the window's menu: `window` is the
// window it happened on (the screen itself, or a control of it), `point` the place in the
// screen's client pixels; (-1, -1) when it came from the Menu key, with no place of its own.
template <Window T> Handler<T> ContextMenu(void (T::*handler)(CWnd* window, CPoint point)) {
    return {{WM_CONTEXTMENU, 0, 0, [handler](CWnd& w, WPARAM wp, LPARAM lp) {
                 (static_cast<T&>(w).*handler)(T::FromHandle(reinterpret_cast<HWND>(wp)),
                                               CPoint(GET_X_LPARAM(lp), GET_Y_LPARAM(lp)));
             }}};
}

// A key of the d-pad (VK_LEFT ... VK_DOWN, VK_PRIOR, VK_NEXT) pressed while the screen is in
// front, whichever of its controls has the keyboard. A handler that leaves a key to the control
// passes it on to the default handling (CWnd::OnKeyDown).
template <Window T> Handler<T> KeyDown(void (T::*handler)(UINT key, UINT repeat, UINT flags)) {
    return {{WM_KEYDOWN, 0, 0, [handler](CWnd& w, WPARAM wp, LPARAM lp) {
                 (static_cast<T&>(w).*handler)(static_cast<UINT>(wp),
                                               static_cast<UINT>(lp & 0xFFFF),
                                               static_cast<UINT>((lp >> 16) & 0xFFFF));
             }}};
}

// A horizontal swipe across the screen: ARG_SCROLL_LEFT or ARG_SCROLL_RIGHT, the way the finger
// went.
template <Window T> Handler<T> Swipe(void (T::*handler)(UINT direction)) {
    return {{WM_GESTURE, 0, 0, [handler](CWnd& w, WPARAM, LPARAM lp) {
                 (static_cast<T&>(w).*handler)(static_cast<UINT>(lp));
             }}};
}

// The id the timer was started with.
template <Window T> Handler<T> Timer(void (T::*handler)(UINT_PTR timerId)) {
    return {{WM_TIMER, 0, 0, [handler](CWnd& w, WPARAM wp, LPARAM) {
                 (static_cast<T&>(w).*handler)(static_cast<UINT_PTR>(wp));
             }}};
}

// A control's notification, or a command id with BN_CLICKED (IDOK, IDCANCEL).
template <Window T> Handler<T> Command(UINT id, WORD code, void (T::*handler)()) {
    return {{WM_COMMAND, id, code,
             [handler](CWnd& w, WPARAM, LPARAM) { (static_cast<T&>(w).*handler)(); }}};
}

template <Window T> Handler<T> Clicked(UINT id, void (T::*handler)()) {
    return Command(id, BN_CLICKED, handler);
}
template <Window T> Handler<T> SelChange(UINT id, void (T::*handler)()) {
    return Command(id, LBN_SELCHANGE, handler);
}
template <Window T> Handler<T> EditChange(UINT id, void (T::*handler)()) {
    return Command(id, EN_CHANGE, handler);
}

} // namespace On
