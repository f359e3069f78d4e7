#pragma once
// What the four zones of the main screen, and the entries of its menu, do. Each action opens its
// screen modally and returns once that screen has closed and been destroyed.

#include <functional>

struct ZoneActions {
    std::function<void()> catalogue; // every poem of the library, in the catalogue
    std::function<void()> search;    // the search screen
    std::function<void()> addPoem;   // the add-poem screen
    std::function<void()> options;   // the options sheet

    // The entries of the menu a tap-and-hold opens.
    std::function<void()> randomPoem;    // a poem of the open library at random, in the reader
    std::function<void()> favourites;    // the catalogue of the favourites
    std::function<bool()> hasFavourites; // whether there are any
};

// The program's own actions.
ZoneActions ProgramZoneActions();
