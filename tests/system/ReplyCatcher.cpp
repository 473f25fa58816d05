#include "ReplyCatcher.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

namespace cv::test {

ReplyCatcher::ReplyCatcher() : m_state(std::make_shared<State>()) {}

HelperToolClient::Reply ReplyCatcher::reply() const
{
    return [state = m_state](Expected<void, std::string> outcome) {
        std::lock_guard lock(state->mutex);
        if (state->count++ == 0 && !outcome)
            state->error = std::move(outcome).error();
        state->changed.notify_all();
    };
}

bool ReplyCatcher::wait(int timeoutMs) const
{
    return waitUntil([this] { return count() > 0; }, timeoutMs);
}

bool ReplyCatcher::waitBlocking(int timeoutMs) const
{
    std::unique_lock lock(m_state->mutex);
    return m_state->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                     [this] { return m_state->count > 0; });
}

int ReplyCatcher::count() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->count;
}

std::optional<std::string> ReplyCatcher::error() const
{
    std::lock_guard lock(m_state->mutex);
    return m_state->error;
}

std::string ReplyCatcher::errorText() const
{
    return error().value_or(std::string());
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < timeoutMs) {
        // Sleeps in the event loop instead of spinning: the machine's two cores are shared.
        QEventLoop loop;
        QTimer::singleShot(10, &loop, &QEventLoop::quit);
        loop.exec();
    }
    return done();
}

} // namespace cv::test
