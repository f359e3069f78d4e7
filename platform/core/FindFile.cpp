#include "platform/core/FindFile.h"

#include "platform/core/SplitPath.h"

#include <algorithm>
#include <dirent.h>
#include <fnmatch.h>
#include <sys/stat.h>

namespace {

struct Search {
    DIR* folder = nullptr;
    std::string path;    // the folder, ending with '/'
    std::string pattern; // the name pattern
};

// Fills `found` with the next regular file of the folder whose name matches; false at the end.
// Names that do not fit the record are passed over rather than cut.
bool Next(Search& search, WIN32_FIND_DATA* found) {
    while (const dirent* entry = ::readdir(search.folder)) {
        const std::string name = entry->d_name;
        if (name == "." || name == ".." ||
            ::fnmatch(search.pattern.c_str(), name.c_str(), 0) != 0) {
            continue;
        }
        struct stat info {};
        if (::stat((search.path + name).c_str(), &info) != 0 || S_ISDIR(info.st_mode)) {
            continue;
        }
        const CString wide = CString::FromUtf8(name);
        if (wide.GetLength() >= static_cast<int>(std::size(found->cFileName))) {
            continue;
        }
        std::copy_n(wide.GetString(), wide.GetLength() + 1, found->cFileName);
        return true;
    }
    return false;
}

} // namespace

HANDLE FindFirstFile(const char16_t* pattern, WIN32_FIND_DATA* found) {
    auto [folder, file] = SplitPath(CString(pattern).ToUtf8());
    auto search = std::make_unique<Search>();
    search->path = folder.empty() ? "./" : std::move(folder);
    search->pattern = std::move(file);
    search->folder = ::opendir(search->path.c_str());
    if (search->folder == nullptr) {
        return INVALID_HANDLE_VALUE;
    }
    if (!Next(*search, found)) {
        ::closedir(search->folder);
        return INVALID_HANDLE_VALUE;
    }
    return reinterpret_cast<HANDLE>(search.release());
}

bool FindNextFile(HANDLE handle, WIN32_FIND_DATA* found) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    return Next(*reinterpret_cast<Search*>(handle), found);
}

bool FindClose(HANDLE handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    std::unique_ptr<Search> search(reinterpret_cast<Search*>(handle));
    ::closedir(search->folder);
    return true;
}
