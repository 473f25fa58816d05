#pragma once

#include <sys/types.h>

namespace cv::cli {

// polkit's text agent (pkttyagent) for this process, the way systemctl asks for a password: in a
// login session it registers as a fallback, so a desktop's agent, when the session has one, still
// asks in its own window; otherwise the agent asks on this terminal. Started on demand; the agent
// is stopped and reaped when the object goes.
class PolkitTextAgent
{
public:
    PolkitTextAgent() = default;
    ~PolkitTextAgent();
    PolkitTextAgent(const PolkitTextAgent&) = delete;
    PolkitTextAgent& operator=(const PolkitTextAgent&) = delete;

    // Whether a text agent can ask here at all: standard input is a terminal and the user is not
    // root (polkit never asks root).
    static bool wanted();
    // Starts the agent for this process and returns once it has registered with polkit, or has
    // failed to (no polkit); false when it could not be started. Only the first call starts it.
    bool start();

private:
    pid_t m_pid = -1;
    bool m_tried = false;
};

} // namespace cv::cli
