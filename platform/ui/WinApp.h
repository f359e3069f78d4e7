#pragma once
// CWinApp: the one application object. AfxWinMain starts the window system, installs the real
// services, calls InitInstance once and ends: a FALSE result ends the program without a message
// loop, so a program that runs its main screen modally inside InitInstance does its whole run
// there and ends the normal way when it returns.

#include "platform/core/CString.h"
#include "platform/core/WinTypes.h"
#include "platform/ui/ModuleFile.h" // AfxGetModuleFileName, AfxGetInstalledFolder, GetModuleFileName
#include "platform/ui/UiConstants.h"

class CWnd;

class CWinApp {
public:
    // Without a name the application takes the executable's name.
    explicit CWinApp(const char16_t* pszAppName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    // The message loop, for an InitInstance that returned TRUE: runs until the program quits.
    virtual int Run();

    // Icon `id` of the program's resources, or null.
    HICON LoadIcon(UINT id) const;

    CString m_strAppName;
    CWnd* m_pMainWnd = nullptr;
};

// The application object, or null before it is built.
CWinApp* AfxGetApp();
// Icon `id` of the program's resources, loaded once for the program's life; null when there is
// none.
HICON AfxLoadIcon(UINT id);

// The program's entry: creates the window system, names the application after the executable,
// installs the screen's message boxes and runs the application object.
int AfxWinMain(int argc, char* argv[]);
