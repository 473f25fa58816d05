#include "cli/HelperAccess.h"

#include "cli/CommandLine.h"
#include "cli/QtParts.h"

#include <functional>
#include <unistd.h>

namespace cv::cli {

HelperAccess::HelperAccess(const CommandLine& line, bool rootWork)
{
    if (!rootWork && ::geteuid() == 0)
        return;
    const bool askPassword = !line.flag("--no-ask-password");
    const auto parts = QtParts::load();
    if (!parts) {
        m_unavailable = parts.error();
        return;
    }
    // The text agent only where it can ask: on a terminal, for a user other than root, and never
    // with --no-ask-password.
    std::function<void()> beforeAsking;
    if (askPassword && PolkitTextAgent::wanted())
        beforeAsking = [this] { m_agent.start(); };
    m_client = (*parts)->makeHelper(askPassword, std::move(beforeAsking));
    if (!m_client)
        m_unavailable = "no helper client";
}

HelperAccess::~HelperAccess()
{
    // The client goes first: its calls end, and its thread stops, before the agent that answers
    // them.
    m_client.reset();
}

} // namespace cv::cli
