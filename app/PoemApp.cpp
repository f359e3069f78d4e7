#include "app/PoemApp.h"

#include "app/MainMenuDlg.h"
#include "library/PoemLibrary.h"
#include "settings/Settings.h"

#include <new>

CString ProgramFolderOf(const CString& executablePath) {
    const int slash = executablePath.ReverseFind(u'/');
    return slash >= 0 ? executablePath.Left(slash + 1) : executablePath;
}

BOOL CPoemApp::InitInstance() {
    // The whole path, however long: a cut path would name the wrong folder.
    g_strAppPath = ProgramFolderOf(AfxGetModuleFileName());

    // Without memory for the library the program still runs, and the main screen warns.
    g_pLibrary = new (std::nothrow) CPoemLibrary;
    if (g_pLibrary != nullptr && !g_pLibrary->Open()) {
        // Open has told the user why. The half-open library still holds its files: they are
        // closed before the program ends.
        delete g_pLibrary;
        g_pLibrary = nullptr;
        return FALSE;
    }

    CMainMenuDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;

    // The options may have put another library in place of the one opened above.
    delete g_pLibrary;
    g_pLibrary = nullptr;
    return FALSE;
}
