#pragma once

#include "cli/PolkitTextAgent.h"
#include "engine/HelperToolClient.h"

#include <memory>
#include <string>

namespace cv::cli {

class CommandLine;

// The privileged helper for a job of the command line, as the window has it: root-only work
// (protected files of the selection, a reformat, the snapshots) goes to the window's own client of
// the helper, which has polkit decide. When polkit wants a password, the desktop's agent asks,
// else polkit's text agent on this terminal, started before the first call that may ask; with
// --no-ask-password nobody is asked and such work is refused at once, for scripts.
class HelperAccess
{
public:
    // rootWork: the job asks for work only the helper does, even for root (a reformat, the
    // snapshots). Otherwise root has no need of the helper and none is set up.
    HelperAccess(const CommandLine& line, bool rootWork);
    ~HelperAccess();
    HelperAccess(const HelperAccess&) = delete;
    HelperAccess& operator=(const HelperAccess&) = delete;

    // The client to hand the job, or nullptr (root without root work, or no helper client; then
    // unavailable() says why).
    HelperToolClient* client() { return m_client.get(); }
    const std::string& unavailable() const { return m_unavailable; }

private:
    // Started by the client, on its thread, before a call that may have the user asked.
    PolkitTextAgent m_agent;
    std::shared_ptr<HelperToolClient> m_client;
    std::string m_unavailable;
};

} // namespace cv::cli
