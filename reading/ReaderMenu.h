#pragma once
// The reader's menu, opened by a tap-and-hold on the page or the Menu key: the poem's poet and
// form, which open their reference pages, then the ways on from the poem. The menu owns its
// entries: what each shows and whether it can be chosen comes from the state it is made with.

#include "platform/core/CString.h"
#include "platform/ui/Geometry.h"
#include "platform/ui/Menu.h"

class CWnd;

class CReaderMenu {
public:
    enum Command : UINT {
        kNone = 0,
        kPoet = 1,
        kForm,
        kPrevious,
        kNext,
        kRandom,
        kFavourite,
    };

    struct State {
        CString author;
        CString form;
        bool hasPoetPage = false; // the poet's and the form's reference pages exist
        bool hasFormPage = false;
        bool hasPrevious = false; // the list the reader was opened from goes on that way
        bool hasNext = false;
        bool hasRandom = false;   // the open library has a poem to show at random
        bool isFavourite = false; // the poem is among the favourites: the entry takes it out
        bool canKeep = false;     // the favourites can take the poem in, or out
    };

    explicit CReaderMenu(const State& state);

    // Shows the menu at `point` (the screen's client pixels) over `owner`; the entry chosen, or
    // kNone.
    Command Track(CPoint point, CWnd& owner);
    const CMenu& Menu() const { return m_menu; }

private:
    void Append(Command command, const CString& text, bool enabled);

    CMenu m_menu;
};
