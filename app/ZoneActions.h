#pragma once
// What the four zones of the main screen do. Each action opens its screen modally and returns
// once that screen has closed and been destroyed.

#include <functional>

struct ZoneActions {
    std::function<void()> catalogue; // every poem of the library, in the catalogue
    std::function<void()> search;    // the search screen
    std::function<void()> addPoem;   // the add-poem screen
    std::function<void()> options;   // the options sheet
};

// The program's own actions.
ZoneActions ProgramZoneActions();
