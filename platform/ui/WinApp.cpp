#include "platform/ui/WinApp.h"

#include "platform/core/Services.h"
#include "platform/core/SplitPath.h"
#include "platform/ui/RealServices.h"
#include "platform/ui/ScreenMessageBox.h"
#include "platform/ui/UiConstants.h"
#include "platform/ui/qt/Fonts.h"
#include "platform/ui/qt/Resources.h"

#include <QApplication>

namespace {

CWinApp*& CurrentApp() {
    static CWinApp* app = nullptr;
    return app;
}

CString ExecutableName(const CString& path) {
    return SplitPath(path).file;
}

} // namespace

CWinApp::CWinApp(const char16_t* pszAppName)
    : m_strAppName(pszAppName != nullptr ? pszAppName : u"") {
    CurrentApp() = this;
}

CWinApp::~CWinApp() {
    if (CurrentApp() == this) {
        CurrentApp() = nullptr;
    }
}

BOOL CWinApp::InitInstance() {
    return TRUE;
}

int CWinApp::ExitInstance() {
    return 0;
}

int CWinApp::Run() {
    QApplication::exec();
    return ExitInstance();
}

HICON CWinApp::LoadIcon(UINT id) const {
    return AfxLoadIcon(id);
}

HICON AfxLoadIcon(UINT id) {
    return LoadIconResource(id);
}

CWinApp* AfxGetApp() {
    return CurrentApp();
}

int AfxWinMain(int argc, char* argv[]) {
    ChooseProgramFolder();
    QApplication application(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    InstallFontSubstitutions();

    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return 1;
    }
    if (app->m_strAppName.IsEmpty()) {
        app->m_strAppName = ExecutableName(AfxGetModuleFileName());
    }
    AfxSetAppName(app->m_strAppName);

    CScreenMessageBox boxes;
    ScopedService<IMessageBoxService> installedBoxes(boxes);
    CDeviceSound sound;
    ScopedService<ISoundService> installedSound(sound);
    CScreenColorChooser chooser;
    ScopedService<IColorChooserService> installedChooser(chooser);
    CViewerLauncher launcher;
    ScopedService<IProgramLauncher> installedLauncher(launcher);
    if (!app->InitInstance()) {
        return app->ExitInstance();
    }
    return app->Run();
}
