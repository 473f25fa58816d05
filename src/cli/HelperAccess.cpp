#include "cli/HelperAccess.h"

#include "cli/CommandLine.h"
#include "cli/QtParts.h"

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
    m_client = (*parts)->makeHelper(askPassword);
    if (!m_client)
        m_unavailable = "no helper client";
    m_mayAsk = askPassword && PolkitTextAgent::wanted();
}

HelperAccess::~HelperAccess()
{
    // The client goes first: its calls end before the agent that answers them.
    m_client.reset();
}

void HelperAccess::readyToAsk()
{
    if (!m_mayAsk)
        return;
    const std::lock_guard lock(m_agentLock);
    m_agent.start();
}

void HelperAccess::openFileForWriting(const ExaminedEntry& entry, FileReply reply, AskingUser askingUser)
{
    readyToAsk();
    m_client->openFileForWriting(entry, std::move(reply), std::move(askingUser));
}

void HelperAccess::allowEntries(const std::vector<ExaminedEntry>& entries, ListReply reply,
                                AskingUser askingUser)
{
    readyToAsk();
    m_client->allowEntries(entries, std::move(reply), std::move(askingUser));
}

void HelperAccess::deleteFileAtPath(const ExaminedEntry& entry, Reply reply, AskingUser askingUser)
{
    readyToAsk();
    m_client->deleteFileAtPath(entry, std::move(reply), std::move(askingUser));
}

void HelperAccess::renameEntryAt(const ExaminedEntry& entry, const std::string& newName, Reply reply,
                                 AskingUser askingUser)
{
    readyToAsk();
    m_client->renameEntryAt(entry, newName, std::move(reply), std::move(askingUser));
}

void HelperAccess::reformatVolumeAt(const std::string& mountPath, const ConfirmedVolume& confirmed,
                                    Reply reply, AskingUser askingUser)
{
    readyToAsk();
    m_client->reformatVolumeAt(mountPath, confirmed, std::move(reply), std::move(askingUser));
}

void HelperAccess::checkReformatVolumeAt(const std::string& mountPath, Reply reply)
{
    // Nobody is asked anything: no agent is needed.
    m_client->checkReformatVolumeAt(mountPath, std::move(reply));
}

void HelperAccess::deleteSnapshots(Reply reply, AskingUser askingUser)
{
    readyToAsk();
    m_client->deleteSnapshots(std::move(reply), std::move(askingUser));
}

void HelperAccess::withdrawCalls()
{
    m_client->withdrawCalls();
}

void HelperAccess::withdrawCallsOn(const ExaminedEntry& entry)
{
    m_client->withdrawCallsOn(entry);
}

void HelperAccess::forgetAllowedEntries()
{
    m_client->forgetAllowedEntries();
}

} // namespace cv::cli
