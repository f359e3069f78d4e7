#pragma once
// The HTML page of one poem, as the reader hands it to its viewer: form, title, dynasty and
// author, a spacer and the text, in the user's colours over the background picture. Fields and
// text go in as they are stored, unescaped: libraries may carry markup on purpose, and the
// viewer runs no script and fetches nothing from the network.

#include "library/LibraryFormat.h"
#include "platform/core/CString.h"

class CPoemLibrary;

// Line feeds become <br>, tabs vanish, everything else (carriage returns too) stays.
CString TextToHtml(const CString& text);

// The whole page for `record`, its text read afresh from `library`, with the settings as they
// are now (colours, program folder, background picture).
CString ComposePoemPage(CPoemLibrary& library, const PoemRecord& record);
