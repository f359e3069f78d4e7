#pragma once
// Writes pages into the program folder so that a reader never sees half a page and a build that
// makes the same pages changes nothing: a page is written (beside its place, then renamed) only
// when its bytes differ from the file's, and the pages of poets and forms no library has any
// more are removed, with the folders they leave empty.

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace refpages {

// The folders of the program folder that hold nothing but generated pages.
inline const std::vector<std::string> kPageFolders = {"poets", "forms"};

// Writes one file; false when it cannot, with the reason in `error`.
bool WriteIfChanged(const std::filesystem::path& file, const std::string& bytes,
                    std::string& error);

// Writes every page (name relative to `folder` -> HTML) and removes every other file under the
// page folders.
bool WritePages(const std::filesystem::path& folder,
                const std::map<std::string, std::string>& pages, std::string& error);

} // namespace refpages
