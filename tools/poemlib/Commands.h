#pragma once

#include <string>
#include <vector>

class CPoemLibrary;

namespace poemlib {

using Args = std::vector<std::string>;

int RunInfo(const Args& args);
int RunList(const Args& args);
int RunSearch(const Args& args);
int RunShow(const Args& args);
int RunPage(const Args& args);
int RunAdd(const Args& args);
int RunCreate(const Args& args);
int RunCheck(const Args& args);
int RunImport(const Args& args);
int RunExport(const Args& args);
int RunAbout(const Args& args);
int RunIndex(const Args& args);

// What list, show and page print of a library that is open; each fails, after the library's own
// message, when its records cannot be read.
int ListLibrary(CPoemLibrary& library, bool json);
int ShowText(CPoemLibrary& library, const std::string& number);
int ShowPage(CPoemLibrary& library, const std::string& number);

} // namespace poemlib
