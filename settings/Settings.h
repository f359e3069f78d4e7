#pragma once
// The settings every screen shares. They live in memory only: each start begins from these
// defaults, and nothing here is ever read from or written to a file.

#include "platform/core/CString.h"
#include "settings/PageSettings.h"

class CPoemLibrary;

// The program folder: the executable's folder, ending with its separator ('/').
extern CString g_strAppPath;
// Bare file names in the program folder.
extern CString g_strBackPicture;
extern CString g_strBackMusic;
// Six hexadecimal digits each, red green blue, without '#'.
extern CString g_strFormColor;
extern CString g_strTitleColor;
extern CString g_strAuthorColor; // the dynasty and author line
extern CString g_strTextColor;

// The open library, or null. Start-up creates it, the library page replaces it and the end of
// the main screen deletes it, all through InstallLibrary (settings/InstalledLibrary.h), which
// owns it.
extern CPoemLibrary* g_pLibrary;

// Puts every setting back to its start value: the program folder empty, the picture and the
// colours of a new PageSettings, the music of platform/core/ProgramFiles.h. Each start begins
// there; tests call it again between cases.
void ResetSettings();

// The settings a poem's page takes, as they are now.
PageSettings CurrentPageSettings();
