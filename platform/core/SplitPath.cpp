#include "platform/core/SplitPath.h"

FolderAndFile<CString> SplitPath(const CString& path) {
    const int slash = path.ReverseFind(u'/');
    return {path.Left(slash + 1), path.Mid(slash + 1)};
}

FolderAndFile<std::string> SplitPath(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return {std::string(), path};
    }
    return {path.substr(0, slash + 1), path.substr(slash + 1)};
}
