#include "helper/UserLogLimit.h"

#include "common/Log.h"

namespace cv {

UserLogLimit::UserLogLimit(int linesPerPeriod, int periodMs, std::string what)
    : m_linesPerPeriod(linesPerPeriod), m_periodMs(periodMs), m_what(std::move(what))
{}

void UserLogLimit::log(uid_t uid, const std::string& line)
{
    int unlogged = 0;
    {
        std::lock_guard lock(m_mutex);
        Budget& budget = m_budgets[uid];
        if (budget.period.hasExpired()) {
            unlogged = budget.unlogged;
            budget = Budget{QDeadlineTimer(m_periodMs), 0, 0};
        }
        if (budget.lines >= m_linesPerPeriod) {
            ++budget.unlogged;
            return;
        }
        ++budget.lines;
    }
    if (unlogged > 0)
        logMessage(unlogged, " more ", m_what, " of user ", uid, " were not logged");
    logLine(line);
}

} // namespace cv
