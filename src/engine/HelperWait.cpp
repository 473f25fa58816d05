#include "engine/HelperWait.h"

#include <condition_variable>
#include <mutex>

namespace cv {

namespace {

// How often a wait without a deadline looks at the job's cancel flag.
constexpr std::chrono::milliseconds kCancelPoll{50};

} // namespace

struct HelperWait::State
{
    std::mutex mutex;
    std::condition_variable changed;
    bool done = false;
    bool askingUser = false;
    Expected<void, std::string> outcome;
    UniqueFd file;
    std::vector<std::string> reasons;
};

HelperWait::HelperWait() : m_state(std::make_shared<State>()) {}

HelperToolClient::Reply HelperWait::reply() const
{
    return [state = m_state](Expected<void, std::string> outcome) {
        std::lock_guard lock(state->mutex);
        if (state->done)
            return;
        state->done = true;
        state->outcome = std::move(outcome);
        state->changed.notify_all();
    };
}

HelperToolClient::FileReply HelperWait::fileReply() const
{
    return [state = m_state](Expected<UniqueFd, std::string> outcome) {
        std::lock_guard lock(state->mutex);
        if (state->done)
            return; // a late descriptor closes here
        state->done = true;
        if (outcome)
            state->file = std::move(*outcome);
        else
            state->outcome = Unexpected(std::move(outcome).error());
        state->changed.notify_all();
    };
}

HelperToolClient::ListReply HelperWait::listReply() const
{
    return [state = m_state](Expected<std::vector<std::string>, std::string> outcome) {
        std::lock_guard lock(state->mutex);
        if (state->done)
            return;
        state->done = true;
        if (outcome)
            state->reasons = std::move(*outcome);
        else
            state->outcome = Unexpected(std::move(outcome).error());
        state->changed.notify_all();
    };
}

UniqueFd HelperWait::takeFile()
{
    std::lock_guard lock(m_state->mutex);
    return std::move(m_state->file);
}

HelperToolClient::AskingUser HelperWait::askingUser() const
{
    return [state = m_state]() {
        std::lock_guard lock(state->mutex);
        state->askingUser = true;
        state->changed.notify_all();
    };
}

HelperWait::End HelperWait::wait(std::chrono::milliseconds timeout, const std::function<bool()>& cancelled,
                                 const std::function<void(bool)>& waitingForUser)
{
    State& state = *m_state;
    const bool bounded = timeout != kNoTimeout;
    const auto deadline =
        bounded ? std::chrono::steady_clock::now() + timeout : std::chrono::steady_clock::time_point::max();
    bool waitingShown = false;
    End end = End::TimedOut;
    {
        std::unique_lock lock(state.mutex);
        while (!state.done) {
            if (cancelled()) {
                end = End::Cancelled;
                break;
            }
            // The delegate is told without the lock: the reply must not wait for the window.
            if (state.askingUser && !waitingShown && waitingForUser) {
                waitingShown = true;
                lock.unlock();
                waitingForUser(true);
                lock.lock();
                continue;
            }
            const auto now = std::chrono::steady_clock::now();
            const bool timed = bounded && !state.askingUser;
            if (timed && now >= deadline)
                break;
            const auto until = timed ? std::min(deadline, now + kCancelPoll) : now + kCancelPoll;
            state.changed.wait_until(lock, until);
        }
        if (state.done) {
            end = End::Answered;
            m_outcome = state.outcome;
            m_reasons = state.reasons;
        } else {
            // Given up on: a reply that comes later is dropped where it arrives, and a descriptor
            // it hands over is closed there, not kept for nobody.
            state.done = true;
        }
    }
    if (waitingShown)
        waitingForUser(false);
    return end;
}

} // namespace cv
