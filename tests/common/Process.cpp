#include "tests/common/Process.h"

#include "tests/common/TestLibrary.h"

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace testing_support {
namespace {

// In the child, between fork and exec: only calls that are safe there.
[[noreturn]] void BecomeProgram(const std::string& program, std::vector<char*>& argv,
                                const TempFolder& folder, const ProcessOptions& options) {
    const int in = ::open(folder.File("in").c_str(), O_RDONLY);
    const int out = ::open(folder.File("out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int err = ::open(folder.File("err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(in, 0);
    ::dup2(out, 1);
    ::dup2(err, 2);
    if (options.fileSizeLimit >= 0) {
        // Past the limit a write fails with EFBIG instead of the signal ending the program,
        // as writing to a full disk fails.
        const rlimit limit{static_cast<rlim_t>(options.fileSizeLimit),
                           static_cast<rlim_t>(options.fileSizeLimit)};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        ::signal(SIGXFSZ, SIG_IGN);
    }
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
}

} // namespace

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& input, const ProcessOptions& options) {
    // Files rather than pipes: nothing can fill up and block while the child runs.
    TempFolder folder;
    WriteFile(folder.File("in"), input);
    std::vector<std::string> environment = options.environment;
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    ProcessResult result;
    const pid_t pid = ::fork();
    if (pid < 0) {
        result.err = "cannot start " + program;
        return result;
    }
    if (pid == 0) {
        for (auto& variable : environment) {
            ::putenv(variable.data());
        }
        BecomeProgram(program, argv, folder, options);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    result.signal = WIFSIGNALED(status) ? WTERMSIG(status) : 0;
    result.out = ReadFile(folder.File("out"));
    result.err = ReadFile(folder.File("err"));
    return result;
}

} // namespace testing_support
