#include "cli/PolkitTextAgent.h"

#include "common/Log.h"
#include "common/UniqueFd.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <systemd/sd-login.h>
#include <unistd.h>

extern char** environ;

namespace cv::cli {

namespace {

// How long the agent may take to register before the job goes on without waiting for it.
constexpr int kRegisterTimeoutMs = 10000;

// Whether this process belongs to a login session. polkit takes a fallback agent only for a
// subject in a session (after looking for the session's own agent); outside any session (no
// logind, a process started by a service) the text agent must register as the agent proper.
bool inLoginSession()
{
    char* session = nullptr;
    const bool found = ::sd_pid_get_session(0, &session) >= 0;
    std::free(session);
    return found;
}

} // namespace

PolkitTextAgent::~PolkitTextAgent()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGTERM);
    int status = 0;
    while (::waitpid(m_pid, &status, 0) < 0 && errno == EINTR) {
    }
}

bool PolkitTextAgent::wanted()
{
    return ::geteuid() != 0 && ::isatty(STDIN_FILENO) != 0;
}

bool PolkitTextAgent::start()
{
    if (m_tried)
        return m_pid > 0;
    m_tried = true;
    int ends[2];
    if (::pipe2(ends, O_CLOEXEC) != 0)
        return false;
    UniqueFd readEnd(ends[0]);
    UniqueFd writeEnd(ends[1]);
    // dup2 onto itself would keep close-on-exec: the end is moved away from 3 first.
    if (writeEnd.get() == 3)
        writeEnd = UniqueFd(::fcntl(3, F_DUPFD_CLOEXEC, 4));

    // The agent closes the notify descriptor once it has registered; it is passed on as fd 3.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), 3);
    // The job commands block SIGINT and SIGTERM; the agent gets the default mask, so that Ctrl-C
    // at its prompt ends it.
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
    // The agent polkit installs, by its absolute path: a program of the same name earlier in PATH
    // (a folder the user or another program chose) would be handed the user's password.
    char program[] = "/usr/bin/pkttyagent";
    char notify[] = "--notify-fd";
    char three[] = "3";
    char fallback[] = "--fallback";
    char process[] = "--process";
    std::string pidText = std::to_string(::getpid());
    char* const withFallback[] = {program, notify, three, fallback, process, pidText.data(), nullptr};
    char* const alone[] = {program, notify, three, process, pidText.data(), nullptr};
    char* const* argv = inLoginSession() ? withFallback : alone;
    const int spawned = ::posix_spawn(&m_pid, program, &actions, &attributes, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    posix_spawnattr_destroy(&attributes);
    writeEnd.reset();
    if (spawned != 0) {
        m_pid = -1;
        logMessage("No text agent for polkit's questions: pkttyagent cannot be started (", spawned, ")");
        return false;
    }
    // Registered (or given up) when the notify descriptor closes.
    pollfd wait{readEnd.get(), POLLIN, 0};
    while (::poll(&wait, 1, kRegisterTimeoutMs) < 0 && errno == EINTR) {
    }
    return true;
}

} // namespace cv::cli
