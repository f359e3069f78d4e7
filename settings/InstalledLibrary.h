#pragma once
// The program's one library, owned here: g_pLibrary points at it, or is null when there is none.
// Start-up installs it, the library page replaces it and the end of the main screen removes it;
// both show here why a library did not open.

#include "library/PoemLibrary.h"

#include <memory>

// Destroys the installed library, then installs `library` (null for none) and points g_pLibrary
// at it. The two never live side by side: a large library holds tens of megabytes.
void InstallLibrary(std::unique_ptr<CPoemLibrary> library);

// Shows in a box what the reader says about a failed Open (OpenFailureMessage), when it says
// anything.
void ShowOpenFailure(const OpenResult& result);
