#include "SleepingProcess.h"

#include <chrono>
#include <csignal>
#include <fstream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace cv::test {

SleepingProcess::SleepingProcess()
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::execlp("sleep", "sleep", "1000", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    if (pid < 0)
        return;
    m_pid = pid;
    // Until the child has become "sleep" (a fork still carries the test's name); a deadline far
    // beyond any machine's need, so that only a broken exec ends the wait.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (comm() != "sleep" && std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (::waitpid(m_pid, &status, WNOHANG) == m_pid) {
            m_pid = -1;
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (comm() != "sleep") {
        ::kill(m_pid, SIGKILL);
        ::waitpid(m_pid, nullptr, 0);
        m_pid = -1;
    }
}

SleepingProcess::~SleepingProcess()
{
    if (m_pid <= 0)
        return;
    ::kill(m_pid, SIGKILL);
    ::waitpid(m_pid, nullptr, 0);
}

std::string SleepingProcess::procFolder() const
{
    return "/proc/" + std::to_string(m_pid);
}

std::string SleepingProcess::comm() const
{
    std::ifstream file(procFolder() + "/comm");
    std::string name;
    std::getline(file, name);
    return name;
}

} // namespace cv::test
