#pragma once
// Runs a program of the build as a child process, the way a person runs it from a shell.

#include <string>
#include <vector>

namespace testing_support {

struct ProcessResult {
    int exitCode = -1; // -1 when the program did not exit normally
    int signal = 0;    // the signal that ended it, if one did
    std::string out;
    std::string err;
};

struct ProcessOptions {
    std::vector<std::string> environment; // NAME=VALUE added to this process's environment
    long fileSizeLimit = -1;              // bytes a file may grow to; writes past it fail
};

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input = "", const ProcessOptions& options = {});

} // namespace testing_support
