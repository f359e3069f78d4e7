#pragma once
// Where the reference page of one poet and of one form lies in the program folder. The search
// screen's pick lists open authors.htm and geti.htm at an anchor; besides those, every poet and
// every form of the libraries has a page of its own, built with the libraries:
//
//   poets/DYNASTY/NAME.htm    one poet: many names are shared by poets of different dynasties
//   forms/NAME.htm            one form or tune
//
// A name becomes one file name as it stands, but for the few characters a file name cannot hold
// or the viewer's addresses read otherwise: '%', '/', '\', '#' and a leading '.' are written as
// '%' and two hexadecimal digits.

#include "platform/core/CString.h"

// The page's name relative to the program folder; empty when the poet has no name.
CString PoetPageName(const CString& author, const CString& dynasty);
// The page's name relative to the program folder; empty when the form has no name.
CString FormPageName(const CString& form);
// One name as a file name of a page folder, without the ".htm".
CString PageFileStem(const CString& name);
