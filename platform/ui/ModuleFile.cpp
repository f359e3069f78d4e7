#include "platform/ui/ModuleFile.h"

#include "platform/core/ProgramFolder.h"
#include "platform/ui/testing/UiTesting.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

std::filesystem::path ResolvedExecutable() {
    std::error_code error;
    const std::filesystem::path path = std::filesystem::read_symlink("/proc/self/exe", error);
    return error ? std::filesystem::path() : path;
}

// The executable's path in the folder the program runs on, set once at the start of AfxWinMain.
CString& RunningPath() {
    static CString path;
    return path;
}

// The installed folder, ending in '/', while the program runs on a folder of the user's own.
CString& InstalledFolder() {
    static CString folder;
    return folder;
}

} // namespace

// An installed reader whose folder its user may not write runs on a folder of the user's own,
// where it is linked (see ProgramFolder.h); anywhere else it runs where it is.
void ChooseProgramFolder() {
    const std::filesystem::path executable = ResolvedExecutable();
    if (executable.empty()) {
        return;
    }
    std::vector<std::string> notes;
    const std::filesystem::path folder =
        RunningProgramFolder(executable.parent_path(), UserProgramFolder(), notes);
    for (const std::string& note : notes) {
        std::fprintf(stderr, "lomeva: %s\n", note.c_str());
    }
    RunningPath() = CString::FromUtf8((folder / executable.filename()).string());
    if (folder != executable.parent_path()) {
        InstalledFolder() = CString::FromUtf8(executable.parent_path().string() + '/');
    }
}

CString AfxGetModuleFileName() {
    if (!UiTesting::ModuleFileNameOverride().IsEmpty()) {
        return UiTesting::ModuleFileNameOverride();
    }
    if (!RunningPath().IsEmpty()) {
        return RunningPath();
    }
    return CString::FromUtf8(ResolvedExecutable().string());
}

CString AfxGetInstalledFolder() {
    return InstalledFolder();
}

DWORD GetModuleFileName(HMODULE module, char16_t* buffer, DWORD size) {
    if (module != nullptr || buffer == nullptr || size == 0) {
        return 0;
    }
    const CString path = AfxGetModuleFileName();
    const DWORD copied = std::min<DWORD>(static_cast<DWORD>(path.GetLength()), size - 1);
    std::copy_n(path.GetString(), copied, buffer);
    buffer[copied] = u'\0';
    return copied;
}
