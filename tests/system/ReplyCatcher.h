#pragma once

#include "engine/HelperToolClient.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace cv::test {

// Collects the replies of one call to the helper's client, from whichever thread they come. The
// state is shared with the reply, so a late reply never touches a test that has moved on.
class ReplyCatcher
{
public:
    ReplyCatcher();

    HelperToolClient::Reply reply() const;

    // Spins the calling thread's event loop until a reply came or timeoutMs passed (the service's
    // thread must run its events for a reply to come at all).
    bool wait(int timeoutMs = 30000) const;
    // Blocks without an event loop, the way per-file shredding waits on a worker thread.
    bool waitBlocking(int timeoutMs) const;

    int count() const;
    // The error of the first reply, or nothing.
    std::optional<std::string> error() const;
    // The error text, or "" on success; for messages of failing tests.
    std::string errorText() const;

private:
    struct State
    {
        mutable std::mutex mutex;
        std::condition_variable changed;
        int count = 0;
        std::optional<std::string> error;
    };
    std::shared_ptr<State> m_state;
};

// Spins the event loop until done() holds or timeoutMs passed; answers done().
bool waitUntil(const std::function<bool()>& done, int timeoutMs = 30000);

} // namespace cv::test
