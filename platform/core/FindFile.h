#pragma once
// Listing the files of a folder that match a pattern such as "/opt/lomeva/*.idx", giving bare
// names, in the order the folder gives them.

#include "platform/core/CString.h"

#include <memory>

struct WIN32_FIND_DATA {
    char16_t cFileName[260];
};

using HANDLE = struct FindHandle__*;
inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(-1);

// The first match, or INVALID_HANDLE_VALUE when nothing matches (no search is then open).
HANDLE FindFirstFile(const char16_t* pattern, WIN32_FIND_DATA* found);
// The next match; false when there is none.
bool FindNextFile(HANDLE search, WIN32_FIND_DATA* found);
bool FindClose(HANDLE search);
