// Two forks: the middle process starts the program and ends at once, so the
// program is handed to init. It tells its failure to start through a pipe
// that closes on a successful exec. Between fork and exec only calls that
// are safe in a child of a threaded process.
#include "DetachedProcess.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "Fd.h"

namespace vlmr {
namespace {

[[noreturn]] void StartInChild(const char* program, char* const argv[], const char* folder, int report) {
    ::setsid();
    const pid_t pid = ::fork();
    if (pid != 0) ::_exit(pid < 0 ? 1 : 0);
    sigset_t none;
    sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    ::signal(SIGPIPE, SIG_DFL);
    if (*folder == '\0' || ::chdir(folder) == 0) ::execv(program, argv);
    const int error = errno;
    const ssize_t written = ::write(report, &error, sizeof error);
    static_cast<void>(written);
    ::_exit(127);
}

}  // namespace

bool StartDetached(const std::string& program, const std::vector<std::string>& arguments, const std::string& folder) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);

    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0) return false;
    Fd reading(ends[0]), writing(ends[1]);
    const pid_t middle = ::fork();
    if (middle < 0) return false;
    if (middle == 0) StartInChild(program.c_str(), argv.data(), folder.c_str(), writing.get());

    writing.Close();
    int status = 0;
    while (::waitpid(middle, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) return false;
    // End of file: the exec closed the pipe. Anything else is its errno.
    int error = 0;
    ssize_t n;
    while ((n = ::read(reading.get(), &error, sizeof error)) < 0 && errno == EINTR) {
    }
    return n == 0;
}

}  // namespace vlmr
