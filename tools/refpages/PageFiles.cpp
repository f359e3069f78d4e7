#include "tools/refpages/PageFiles.h"

#include <fstream>
#include <iterator>
#include <set>
#include <unistd.h>

namespace fs = std::filesystem;

namespace refpages {
namespace {

bool SameBytes(const fs::path& file, const std::string& bytes) {
    std::error_code error;
    if (!fs::is_regular_file(file, error) || fs::file_size(file, error) != bytes.size()) {
        return false;
    }
    std::ifstream in(file, std::ios::binary);
    const std::string present((std::istreambuf_iterator<char>(in)), {});
    return present == bytes;
}

// Removes every file under `root` that is not one of `keep`, then the folders left empty.
void RemoveOthers(const fs::path& root, const std::set<fs::path>& keep) {
    std::error_code error;
    if (!fs::is_directory(root, error)) {
        return;
    }
    std::vector<fs::path> folders = {root};
    for (auto it = fs::recursive_directory_iterator(root, error);
         !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        std::error_code status;
        if (it->is_directory(status)) {
            folders.push_back(it->path());
        } else if (keep.count(it->path()) == 0) {
            fs::remove(it->path(), status);
        }
    }
    // Deepest first, so that a folder whose folders all went goes too.
    for (auto it = folders.rbegin(); it != folders.rend(); ++it) {
        std::error_code status;
        if (fs::is_empty(*it, status)) {
            fs::remove(*it, status);
        }
    }
}

} // namespace

bool WriteIfChanged(const fs::path& file, const std::string& bytes, std::string& error) {
    if (SameBytes(file, bytes)) {
        return true;
    }
    std::error_code status;
    fs::create_directories(file.parent_path(), status);
    const fs::path temporary = file.parent_path() / ("." + file.filename().string() + ".new-" +
                                                     std::to_string(::getpid()));
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << bytes;
        if (!out.flush()) {
            error = "cannot write " + temporary.string();
            fs::remove(temporary, status);
            return false;
        }
    }
    fs::rename(temporary, file, status);
    if (status) {
        error = "cannot write " + file.string() + ": " + status.message();
        fs::remove(temporary, status);
        return false;
    }
    return true;
}

bool WritePages(const fs::path& folder, const std::map<std::string, std::string>& pages,
                std::string& error) {
    std::set<fs::path> written;
    for (const auto& [name, html] : pages) {
        const fs::path file = folder / name;
        if (!WriteIfChanged(file, html, error)) {
            return false;
        }
        written.insert(file);
    }
    for (const std::string& root : kPageFolders) {
        RemoveOthers(folder / root, written);
    }
    return true;
}

} // namespace refpages
