#include "cli/JobRunner.h"

#include "cli/LineAmounts.h"
#include "cli/TerminalText.h"
#include "common/Localization.h"
#include "system/LogindSleepInhibitor.h"

#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <mutex>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace cv::cli {

namespace {

// Keeps the newest snapshot and the result for the main thread.
class Progress : public FileShredderDelegate
{
public:
    // The end is signalled to `waiter` (SIGUSR1), so that it does not sleep through it.
    explicit Progress(pthread_t waiter) : m_waiter(waiter) {}

    void curProgress(std::shared_ptr<const ShredState> state) override
    {
        bool askingChanged = false;
        {
            std::lock_guard lock(m_mutex);
            askingChanged =
                state && (!m_state || state->waitingForAuthorization != m_state->waitingForAuthorization);
            m_state = std::move(state);
        }
        // Said at once that the user is asked, before polkit's text agent prints its prompt on
        // the same terminal, so that the progress line never writes over the prompt.
        if (askingChanged)
            pthread_kill(m_waiter, SIGUSR1);
    }
    void finished(std::shared_ptr<ShredResult> result) override
    {
        {
            std::lock_guard lock(m_mutex);
            m_result = std::move(result);
        }
        pthread_kill(m_waiter, SIGUSR1);
    }
    std::shared_ptr<const ShredState> state() const
    {
        std::lock_guard lock(m_mutex);
        return m_state;
    }
    std::shared_ptr<ShredResult> result() const
    {
        std::lock_guard lock(m_mutex);
        return m_result;
    }

private:
    pthread_t m_waiter;
    mutable std::mutex m_mutex;
    std::shared_ptr<const ShredState> m_state;
    std::shared_ptr<ShredResult> m_result;
};

int terminalWidth()
{
    winsize size{};
    if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 20)
        return size.ws_col;
    return 80;
}

std::string elapsedText(double seconds)
{
    const long total = static_cast<long>(seconds);
    char text[32];
    std::snprintf(text, sizeof text, "%02ld:%02ld:%02ld", total / 3600, (total / 60) % 60, total % 60);
    return text;
}

void printProgressLine(const ShredState& state)
{
    const std::string line = JobRunner::progressLine(state, static_cast<std::size_t>(terminalWidth()) - 1);
    std::fprintf(stderr, "\r\033[K%s", line.c_str());
    std::fflush(stderr);
}

} // namespace

std::string JobRunner::progressLine(const ShredState& state, std::size_t width)
{
    const double fraction = state.bytesCount > 0 ? static_cast<double>(state.bytesProgress) /
                                                       static_cast<double>(state.bytesCount)
                                                 : 0;
    // The action is the engine's text: the amounts and the word between them are in its language.
    std::string amounts = localized("%1 of %2");
    for (const auto& [mark, bytes] :
         {std::pair{"%1", state.bytesProgress}, std::pair{"%2", state.bytesCount}}) {
        if (const std::size_t at = amounts.find(mark); at != std::string::npos)
            amounts.replace(at, 2, LineAmounts::engineBytes(static_cast<std::int64_t>(bytes)));
    }
    char percent[16];
    std::snprintf(percent, sizeof percent, "%3d%%", static_cast<int>(std::min(1.0, fraction) * 100));
    std::string line =
        state.curAction + "  " + percent + "  " + amounts + "  " + elapsedText(state.timeSinceStart) + "  ";
    if (line.size() < width) {
        std::string path = forStream(stderr, state.path);
        const std::size_t room = width - line.size();
        if (path.size() > room)
            path = "..." + path.substr(path.size() - (room > 3 ? room - 3 : 0));
        line += path;
    }
    if (line.size() > width) {
        // Never inside a character: a German action has letters of two bytes.
        std::size_t end = width;
        while (end > 0 && (static_cast<unsigned char>(line[end]) & 0xC0) == 0x80)
            --end;
        line.resize(end);
    }
    return line;
}

JobRunner::JobRunner(FileShredder& job, bool showProgress) : m_job(job), m_showProgress(showProgress) {}

JobEnvironment JobRunner::environment(HelperToolClient* helper)
{
    JobEnvironment environment;
    environment.helperTool = helper;
    environment.sleepInhibitor = std::make_shared<LogindSleepInhibitor>();
    environment.homeFolder = JobEnvironment::userHomeFolder();
    return environment;
}

std::shared_ptr<ShredResult> JobRunner::run()
{
    // SIGINT and SIGTERM are taken by this thread alone (the worker inherits the blocked mask),
    // so a signal cancels the job instead of killing the process mid-file.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGUSR1);
    sigset_t previous;
    pthread_sigmask(SIG_BLOCK, &signals, &previous);

    Progress progress(pthread_self());
    m_job.setDelegate(&progress);
    std::thread worker([this] { m_job.run(); });

    bool cancelled = false;
    bool toldWaiting = false;
    const timespec tick{0, 200 * 1000 * 1000};
    while (!progress.result()) {
        const int signal = ::sigtimedwait(&signals, nullptr, &tick);
        if ((signal == SIGINT || signal == SIGTERM) && !cancelled) {
            cancelled = true;
            m_job.cancel();
        }
        const auto state = progress.state();
        if (state && state->waitingForAuthorization) {
            // Said once, on a line of its own, and the progress line is not drawn again until the
            // answer: polkit's text agent may be asking for the password on this terminal.
            if (!toldWaiting) {
                std::fprintf(stderr, "%s%s\n", m_showProgress ? "\r\033[K" : "",
                             forStream(stderr, state->path).c_str());
                std::fflush(stderr);
            }
        } else if (m_showProgress && state) {
            printProgressLine(*state);
        }
        toldWaiting = state && state->waitingForAuthorization;
    }
    worker.join();
    // A signal that came with the end is spent here, not left to kill the process after it.
    const timespec zero{0, 0};
    while (::sigtimedwait(&signals, nullptr, &zero) > 0) {
    }
    if (m_showProgress)
        std::fputs("\r\033[K", stderr);
    m_job.setDelegate(nullptr);
    pthread_sigmask(SIG_SETMASK, &previous, nullptr);
    return progress.result();
}

} // namespace cv::cli
