#pragma once
// Where the running program is: the executable's path and, for an installed reader running on a
// program folder of the user's own, the folder it is installed in. The application object names
// itself after the executable; the real services and the HTML viewer find the files beside it.

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"

// Decides the folder the program runs on (see platform/core/ProgramFolder.h), once, at the start
// of AfxWinMain: notes on the way go to standard error.
void ChooseProgramFolder();

// The full path of the running executable (from /proc/self/exe), in the user's own program folder
// when the reader runs on one (see platform/core/ProgramFolder.h). The module handle must be null.
CString AfxGetModuleFileName();
// The folder the reader is installed in, ending in '/', when it runs on a program folder of the
// user's own whose files link there; empty otherwise.
CString AfxGetInstalledFolder();
// The same into a buffer of `size` characters, cut to fit and always terminated; returns the
// characters copied.
DWORD GetModuleFileName(HMODULE module, char16_t* buffer, DWORD size);
