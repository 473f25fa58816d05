#include "helper/ToolRunner.h"

#include "common/UniqueFd.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

namespace cv {

namespace {

// Enough for every message these tools print; more is dropped rather than held in memory.
constexpr std::size_t kMaxCapture = 1 << 20;

std::string lastLine(const std::string& text)
{
    std::string trimmed = text;
    while (!trimmed.empty() && (trimmed.back() == '\n' || trimmed.back() == ' ' || trimmed.back() == '\t'))
        trimmed.pop_back();
    const std::size_t newline = trimmed.rfind('\n');
    std::string line = newline == std::string::npos ? trimmed : trimmed.substr(newline + 1);
    line.erase(0, line.find_first_not_of(" \t"));
    return line;
}

} // namespace

std::string ToolRunner::Result::describeFailure() const
{
    if (!started)
        return "could not be started";
    if (timedOut)
        return "did not finish in time and was stopped";
    std::string text =
        exitCode < 0 ? std::string("ended abnormally") : "exit status " + std::to_string(exitCode);
    std::string detail = lastLine(err);
    if (detail.empty())
        detail = lastLine(out);
    if (!detail.empty())
        text += ": " + detail;
    return text;
}

const std::vector<std::string>& ToolRunner::defaultSearchPath()
{
    static const std::vector<std::string> path = {"/usr/sbin", "/usr/bin", "/sbin", "/bin"};
    return path;
}

std::optional<std::string> ToolRunner::find(const std::string& name,
                                            const std::vector<std::string>& searchPath)
{
    if (name.empty() || name.find('/') != std::string::npos)
        return std::nullopt;
    for (const auto& folder : searchPath) {
        const std::string candidate = folder + "/" + name;
        struct stat info = {};
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return std::nullopt;
}

ToolRunner::Result ToolRunner::run(const std::string& program, const std::vector<std::string>& arguments,
                                   int timeoutSeconds)
{
    Result result;
    int outPipe[2];
    int errPipe[2];
    if (::pipe2(outPipe, O_CLOEXEC) != 0)
        return result;
    UniqueFd outRead(outPipe[0]);
    UniqueFd outWrite(outPipe[1]);
    if (::pipe2(errPipe, O_CLOEXEC) != 0)
        return result;
    UniqueFd errRead(errPipe[0]);
    UniqueFd errWrite(errPipe[1]);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outWrite.get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errWrite.get(), STDERR_FILENO);
    // A process group of its own, so that whatever the tool starts goes with it when time is up.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETPGROUP);
    posix_spawnattr_setpgroup(&attributes, 0);

    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(program.c_str()));
    for (const auto& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    // Root runs these tools: nothing of the caller's or the bus's environment reaches them.
    char path[] = "PATH=/usr/sbin:/usr/bin:/sbin:/bin";
    char locale[] = "LC_ALL=C";
    char* environment[] = {path, locale, nullptr};

    pid_t pid = -1;
    const int spawnError =
        ::posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), environment);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    outWrite.reset();
    errWrite.reset();
    if (spawnError != 0) {
        result.err = std::strerror(spawnError);
        return result;
    }
    result.started = true;
    for (const int fd : {outRead.get(), errRead.get()})
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    // Readable when the tool has ended, whatever became of its output pipes: the deadline covers
    // the whole run, also of a tool that closed them early.
    const UniqueFd exited(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0)));

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
    pollfd fds[3] = {{outRead.get(), POLLIN, 0}, {errRead.get(), POLLIN, 0}, {exited.get(), POLLIN, 0}};
    std::string* sinks[2] = {&result.out, &result.err};
    // Reads what one pipe holds, at most once unless whole; forgets the pipe at its end.
    const auto readPipe = [&](int i, bool whole) {
        char buffer[4096];
        while (fds[i].fd >= 0) {
            const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                if (sinks[i]->size() < kMaxCapture)
                    sinks[i]->append(buffer, static_cast<std::size_t>(n));
                if (!whole)
                    return;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else {
                if (n == 0 || errno != EAGAIN)
                    fds[i].fd = -1;
                return;
            }
        }
    };
    bool ended = false;
    while (!ended) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            result.timedOut = true;
            break;
        }
        // Without a pidfd (a kernel older than 5.3) the tool's end is looked for every 100 ms.
        const int ready =
            ::poll(fds, 3, static_cast<int>(std::min<long long>(left.count(), exited ? 60000 : 100)));
        if (ready < 0 && errno != EINTR)
            break;
        for (int i = 0; i < 2 && ready > 0; ++i) {
            if (fds[i].fd >= 0 && (fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                readPipe(i, false);
        }
        if (exited) {
            ended = ready > 0 && (fds[2].revents & POLLIN);
        } else {
            siginfo_t info = {};
            ended = ::waitid(P_PID, static_cast<id_t>(pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
                    info.si_pid == pid;
        }
    }
    // What is left of the tool's group goes now: all of it when time is up, and whatever the tool
    // left running behind it when it ended, since nothing the helper starts outlives its tool. The
    // tool is not reaped yet, so its process group cannot have passed to another process.
    ::kill(-pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = !result.timedOut && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    readPipe(0, true); // what the tool wrote just before it ended
    readPipe(1, true);
    return result;
}

} // namespace cv
