#pragma once

#include "cli/PolkitTextAgent.h"
#include "engine/HelperToolClient.h"

#include <memory>
#include <mutex>
#include <string>

namespace cv::cli {

class CommandLine;

// The privileged helper for a job of the command line, as the window has it: root-only work
// (protected files of the selection, a reformat, the snapshots) goes to the helper, which has
// polkit decide. When polkit wants a password, the desktop's agent asks, else polkit's text agent
// on this terminal, started on the first call; with --no-ask-password nobody is asked and such
// work is refused at once, for scripts.
class HelperAccess : public HelperToolClient
{
public:
    // rootWork: the job asks for work only the helper does, even for root (a reformat, the
    // snapshots). Otherwise root has no need of the helper and none is set up.
    HelperAccess(const CommandLine& line, bool rootWork);
    ~HelperAccess() override;

    // The client to hand the job, or nullptr (root without root work, or no helper client; then
    // unavailable() says why).
    HelperToolClient* client() { return m_client ? this : nullptr; }
    const std::string& unavailable() const { return m_unavailable; }

    void openFileForWriting(const ExaminedEntry& entry, FileReply reply, AskingUser askingUser) override;
    void allowEntries(const std::vector<ExaminedEntry>& entries, ListReply reply,
                      AskingUser askingUser) override;
    void deleteFileAtPath(const ExaminedEntry& entry, Reply reply, AskingUser askingUser) override;
    void renameEntryAt(const ExaminedEntry& entry, const std::string& newName, Reply reply,
                       AskingUser askingUser) override;
    void reformatVolumeAt(const std::string& mountPath, const ConfirmedVolume& confirmed, Reply reply,
                          AskingUser askingUser) override;
    void checkReformatVolumeAt(const std::string& mountPath, Reply reply) override;
    void deleteSnapshots(Reply reply, AskingUser askingUser) override;
    void withdrawCalls() override;
    void withdrawCallsOn(const ExaminedEntry& entry) override;
    void forgetAllowedEntries() override;

private:
    // Before a call that may need a password: the text agent is there to ask it.
    void readyToAsk();

    std::unique_ptr<HelperToolClient> m_client;
    std::string m_unavailable;
    bool m_mayAsk = false;
    std::mutex m_agentLock;
    PolkitTextAgent m_agent;
};

} // namespace cv::cli
