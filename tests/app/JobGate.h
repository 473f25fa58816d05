#pragma once

#include "job/SleepInhibitor.h"

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>

namespace cv::test {

// Holds a job at its start (where it takes the machine's sleep inhibitor) until the test lets it
// through: the job is then running for as long as the test needs, however fast the machine is.
// Hand inhibitor() to the job's environment (AppServices::makeSleepInhibitor).
class JobGate
{
public:
    // True once the job stands at the gate; false after timeout.
    bool awaitEntered(std::chrono::milliseconds timeout = std::chrono::minutes(1))
    {
        std::unique_lock lock(m_state->mutex);
        return m_state->changed.wait_for(lock, timeout, [this] { return m_state->entered; });
    }
    // Lets the job (and every later one) through.
    void letThrough()
    {
        std::lock_guard lock(m_state->mutex);
        m_state->open = true;
        m_state->changed.notify_all();
    }
    std::unique_ptr<SleepInhibitor> inhibitor() const { return std::make_unique<Inhibitor>(m_state); }

private:
    struct State
    {
        std::mutex mutex;
        std::condition_variable changed;
        bool entered = false;
        bool open = false;
    };
    class Inhibitor : public SleepInhibitor
    {
    public:
        explicit Inhibitor(std::shared_ptr<State> state) : m_state(std::move(state)) {}
        bool acquire(const std::string&, const std::string&) override
        {
            std::unique_lock lock(m_state->mutex);
            m_state->entered = true;
            m_state->changed.notify_all();
            m_state->changed.wait(lock, [this] { return m_state->open; });
            return true;
        }
        void release() override {}

    private:
        std::shared_ptr<State> m_state;
    };

    std::shared_ptr<State> m_state = std::make_shared<State>();
};

} // namespace cv::test
