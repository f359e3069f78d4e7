#pragma once
// The pick lists of the search screen and the form list of the add-poem screen: arrays of
// pointers to names in a fixed order, each ended by an empty name. A list is filled by walking
// its table up to the first name shorter than two characters. The names are exactly what the
// reference pages' anchors are: authors.htm and geti.htm are opened at them.

#include <array>

extern const std::array<const char16_t*, 136> g_authorNames;    // 135 poets, 无名氏 twice
extern const std::array<const char16_t*, 15> g_dynastyNames;    // 14 dynasties and eras
extern const std::array<const char16_t*, 32> g_entryFormNames;  // 31 forms to enter a poem in
extern const std::array<const char16_t*, 88> g_searchFormNames; // the 31, then 56 more
