#pragma once

#include <QDeadlineTimer>

#include <map>
#include <mutex>
#include <string>
#include <sys/types.h>

namespace cv {

// A number of log lines per user and period: lines beyond it are counted, and the count is logged
// with the user's first line of a later period. Anyone on the system bus may call the helper as
// often as it likes; what its calls make the helper log must not grow with that. Safe to use from
// any thread (the workers log their calls' outcomes).
class UserLogLimit
{
public:
    // what names the lines in the count ("refused calls", "lines about calls").
    UserLogLimit(int linesPerPeriod, int periodMs, std::string what);

    // Logs line for uid, unless uid used up its lines of this period.
    void log(uid_t uid, const std::string& line);

private:
    struct Budget
    {
        QDeadlineTimer period;
        int lines = 0;
        int unlogged = 0;
    };

    const int m_linesPerPeriod;
    const int m_periodMs;
    const std::string m_what;
    std::mutex m_mutex;
    std::map<uid_t, Budget> m_budgets;
};

} // namespace cv
