#include "library/InstalledLibrary.h"

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
