#pragma once

#include <string>
#include <sys/types.h>

namespace cv::test {

// A "sleep" process of the test's own, for the life of the object: the one thing in /proc that a
// test may aim a job at. Should a guard against writing kernel files ever break, the job only
// renames this process (it writes its /proc/PID/comm), which the test sees in comm().
class SleepingProcess
{
public:
    SleepingProcess();
    ~SleepingProcess();
    SleepingProcess(const SleepingProcess&) = delete;
    SleepingProcess& operator=(const SleepingProcess&) = delete;

    bool running() const { return m_pid > 0; }
    // "/proc/PID", and its name there ("sleep" unless something wrote it).
    std::string procFolder() const;
    std::string comm() const;

private:
    pid_t m_pid = -1;
};

} // namespace cv::test
