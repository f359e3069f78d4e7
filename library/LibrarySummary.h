#pragma once

#include "platform/core/CString.h"

class CPoemLibrary;

// The five lines the main screen writes over its picture: name, version, author, date and the
// number of poems; a single space when there is no library.
CString LibrarySummary(const CPoemLibrary* library);
