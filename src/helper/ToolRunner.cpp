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

// A pipe for one of the tool's outputs; false when none could be made.
bool openPipe(UniqueFd& readEnd, UniqueFd& writeEnd)
{
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return false;
    readEnd = UniqueFd(ends[0]);
    writeEnd = UniqueFd(ends[1]);
    return true;
}

// The started tool's process id, or the error of posix_spawn.
struct Spawned
{
    pid_t pid = -1;
    int error = 0;
};

// Starts program with its input from /dev/null and its outputs into outFd and errFd, in a process
// group of its own, with a minimal environment.
Spawned spawnTool(const std::string& program, const std::vector<std::string>& arguments, int outFd, int errFd)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, outFd, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, errFd, STDERR_FILENO);
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

    Spawned spawned;
    spawned.error =
        ::posix_spawn(&spawned.pid, program.c_str(), &actions, &attributes, argv.data(), environment);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    return spawned;
}

// Watches a started tool: captures its two outputs until it ends or its time is up.
class ToolWatch
{
public:
    ToolWatch(pid_t pid, int outFd, int errFd, ToolRunner::Result& result)
        : m_pid(pid),
          // Readable when the tool has ended, whatever became of its output pipes: the deadline
          // covers the whole run, also of a tool that closed them early.
          m_exited(static_cast<int>(::syscall(SYS_pidfd_open, pid, 0))),
          m_fds{{outFd, POLLIN, 0}, {errFd, POLLIN, 0}, {m_exited.get(), POLLIN, 0}}, m_sinks{&result.out,
                                                                                              &result.err}
    {}

    // Reads the outputs as they come until the tool ends; true when its time ran out first.
    bool waitForEnd(int timeoutSeconds)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
        bool ended = false;
        while (!ended) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0)
                return true;
            // Without a pidfd (a kernel older than 5.3) the tool's end is looked for every 100 ms.
            const int ready =
                ::poll(m_fds, 3, static_cast<int>(std::min<long long>(left.count(), m_exited ? 60000 : 100)));
            if (ready < 0 && errno != EINTR)
                break;
            for (int i = 0; i < 2 && ready > 0; ++i) {
                if (m_fds[i].fd >= 0 && (m_fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                    readPipe(i, false);
            }
            ended = hasEnded(ready);
        }
        return false;
    }

    // What the tool wrote just before it ended.
    void readRest()
    {
        readPipe(0, true);
        readPipe(1, true);
    }

private:
    bool hasEnded(int ready) const
    {
        if (m_exited)
            return ready > 0 && (m_fds[2].revents & POLLIN);
        siginfo_t info = {};
        return ::waitid(P_PID, static_cast<id_t>(m_pid), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
               info.si_pid == m_pid;
    }

    // Reads what one pipe holds, at most once unless whole; forgets the pipe at its end.
    void readPipe(int i, bool whole)
    {
        char buffer[4096];
        while (m_fds[i].fd >= 0) {
            const ssize_t n = ::read(m_fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                if (m_sinks[i]->size() < kMaxCapture)
                    m_sinks[i]->append(buffer, static_cast<std::size_t>(n));
                if (!whole)
                    return;
            } else if (n < 0 && errno == EINTR) {
                continue;
            } else {
                if (n == 0 || errno != EAGAIN)
                    m_fds[i].fd = -1;
                return;
            }
        }
    }

    pid_t m_pid;
    UniqueFd m_exited;
    pollfd m_fds[3];
    std::string* m_sinks[2];
};

// What is left of the tool's group goes now: all of it when time is up, and whatever the tool left
// running behind it when it ended, since nothing the helper starts outlives its tool. The tool is
// not reaped yet, so its process group cannot have passed to another process.
void endTool(pid_t pid, ToolRunner::Result& result)
{
    ::kill(-pid, SIGKILL);
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = !result.timedOut && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
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
    UniqueFd outRead;
    UniqueFd outWrite;
    UniqueFd errRead;
    UniqueFd errWrite;
    if (!openPipe(outRead, outWrite) || !openPipe(errRead, errWrite))
        return result;
    const Spawned spawned = spawnTool(program, arguments, outWrite.get(), errWrite.get());
    outWrite.reset();
    errWrite.reset();
    if (spawned.error != 0) {
        result.err = std::strerror(spawned.error);
        return result;
    }
    result.started = true;
    for (const int fd : {outRead.get(), errRead.get()})
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    ToolWatch watch(spawned.pid, outRead.get(), errRead.get(), result);
    result.timedOut = watch.waitForEnd(timeoutSeconds);
    endTool(spawned.pid, result);
    watch.readRest();
    return result;
}

} // namespace cv
