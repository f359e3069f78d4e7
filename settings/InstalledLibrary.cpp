#include "settings/InstalledLibrary.h"

#include "platform/core/Services.h"
#include "settings/Settings.h"

namespace {

std::unique_ptr<CPoemLibrary>& Installed() {
    static std::unique_ptr<CPoemLibrary> library;
    return library;
}

} // namespace

void InstallLibrary(std::unique_ptr<CPoemLibrary> library) {
    g_pLibrary = nullptr;
    Installed().reset();
    Installed() = std::move(library);
    g_pLibrary = Installed().get();
}

void ShowOpenFailure(const OpenResult& result) {
    const CString message = OpenFailureMessage(result);
    if (!message.IsEmpty()) {
        AfxMessageBox(message);
    }
}
