#include "platform/core/ProgramLauncher.h"

BOOL CRecordingLauncher::ShellExecuteEx(SHELLEXECUTEINFO* info) {
    m_launches.push_back({CString(info->lpVerb), CString(info->lpFile), CString(info->lpParameters),
                          info->hwnd, info->cbSize});
    return 1;
}

BOOL ShellExecuteEx(SHELLEXECUTEINFO* info) {
    IProgramLauncher* service = Service<IProgramLauncher>::Installed();
    return service != nullptr ? service->ShellExecuteEx(info) : 0;
}
