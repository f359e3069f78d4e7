#pragma once
// The HTML page of one poem, as the reader hands it to its viewer: form, title, dynasty and
// author, a spacer and the text, in the user's colours over the background picture. Fields and
// text go in as they are stored, unescaped: libraries may carry markup on purpose, and the
// viewer runs no script and fetches nothing from the network.

#include "library/LibraryFormat.h"
#include "library/PoemNotes.h"
#include "platform/core/CString.h"
#include "settings/PageSettings.h"

class CPoemLibrary;

// Line feeds become <br>, tabs vanish, everything else (carriage returns too) stays.
CString TextToHtml(const CString& text);

// The whole page for `record`, its text read afresh from `library`, in the colours of `settings`
// over its background picture in its program folder.
CString ComposePoemPage(CPoemLibrary& library, const PoemRecord& record,
                        const PageSettings& settings);

// The poem's notes as a piece of HTML that follows the page, smaller than the poem and in its
// text colour `color`: the whole title first when the record's is cut, then each note on a line
// of its own. Empty when there are none. Unlike the page's fields, the notes are escaped: they are
// plain text that this program wrote, never markup a library carries on purpose, so whatever they
// hold ("<", "&") shows as written and nothing in them can reach into the page.
CString NotesToHtml(const PoemNotes& notes, const CString& color);

// The notes piece for `record` of `library` (its notes file read afresh), in the text colour of
// `settings`; empty when the poem has no notes.
CString ComposePoemNotes(CPoemLibrary& library, const PoemRecord& record,
                         const PageSettings& settings);
