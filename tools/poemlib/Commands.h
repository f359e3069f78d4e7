#pragma once

#include <string>
#include <vector>

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

} // namespace poemlib
