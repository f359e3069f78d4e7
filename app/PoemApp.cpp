#include "app/PoemApp.h"

#include "app/MainMenuDlg.h"
#include "platform/core/SplitPath.h"
#include "settings/InstalledLibrary.h"
#include "settings/Settings.h"

#include <memory>
#include <new>

CString ProgramFolderOf(const CString& executablePath) {
    const CString folder = SplitPath(executablePath).folder;
    return folder.IsEmpty() ? executablePath : folder;
}

BOOL CPoemApp::InitInstance() {
    // The whole path, however long: a cut path would name the wrong folder.
    g_strAppPath = ProgramFolderOf(AfxGetModuleFileName());

    // Without memory for the library the program still runs, and the main screen warns.
    std::unique_ptr<CPoemLibrary> library(new (std::nothrow) CPoemLibrary(g_strAppPath));
    if (library != nullptr) {
        const OpenResult opened = library->Open();
        if (!opened) {
            // The half-open library still holds its files: they are closed before the program
            // ends.
            ShowOpenFailure(opened);
            return FALSE;
        }
    }
    InstallLibrary(std::move(library));

    CMainMenuDlg dialog;
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;

    // The options may have put another library in place of the one opened above.
    InstallLibrary(nullptr);
    return FALSE;
}
