#include "SystemCallCount.h"

#include <csignal>
#include <sys/ptrace.h>
#include <sys/wait.h>
#include <unistd.h>

namespace cv::test {

std::optional<SystemCallCount> countSystemCalls(const std::function<int()>& work)
{
    const pid_t child = ::fork();
    if (child < 0)
        return std::nullopt;
    if (child == 0) {
        // Stopped until the tracer is ready; the calls of work are the ones counted.
        if (::ptrace(PTRACE_TRACEME, 0, nullptr, nullptr) != 0)
            ::_exit(125);
        ::raise(SIGSTOP);
        ::_exit(work());
    }
    int status = 0;
    if (::waitpid(child, &status, 0) != child || !WIFSTOPPED(status)) {
        ::waitpid(child, &status, 0);
        return std::nullopt;
    }
    ::ptrace(PTRACE_SETOPTIONS, child, nullptr, PTRACE_O_TRACESYSGOOD | PTRACE_O_EXITKILL);
    SystemCallCount count;
    long stops = 0; // each call stops the child twice: on its way in and on its way out
    int signal = 0;
    for (;;) {
        if (::ptrace(PTRACE_SYSCALL, child, nullptr, signal) != 0)
            break;
        signal = 0;
        if (::waitpid(child, &status, 0) != child)
            break;
        if (WIFEXITED(status)) {
            count.exitCode = WEXITSTATUS(status);
            break;
        }
        if (WIFSIGNALED(status))
            break;
        if (WSTOPSIG(status) == (SIGTRAP | 0x80))
            ++stops;
        else if (WSTOPSIG(status) != SIGSTOP)
            signal = WSTOPSIG(status); // the child's own signal goes on to it
    }
    count.calls = stops / 2;
    return count;
}

} // namespace cv::test
