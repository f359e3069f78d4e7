#pragma once
// The application: start-up finds the program folder, opens the default library and runs the
// main screen; when the main screen closes it deletes the library, and the program ends.

#include "platform/ui/WinApp.h"

class CPoemApp : public CWinApp {
public:
    CPoemApp() = default;
    // The whole run of the program; always FALSE, so that no message loop follows.
    BOOL InitInstance() override;
};

// The folder of an executable path: up to and including its last '/', or the whole path when it
// has none.
CString ProgramFolderOf(const CString& executablePath);
