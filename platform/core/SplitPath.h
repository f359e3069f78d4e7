#pragma once
// A path split after its last '/' into the folder, which keeps that '/', and the file, which is
// the rest. A path without '/' is all file: its folder is empty, and each caller says what an
// empty folder stands for ("./" for a name on the command line, for instance).

#include "platform/core/CString.h"

#include <string>

template <class String> struct FolderAndFile {
    String folder;
    String file;
};

FolderAndFile<CString> SplitPath(const CString& path);
FolderAndFile<std::string> SplitPath(const std::string& path);
