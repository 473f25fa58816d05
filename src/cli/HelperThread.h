#pragma once

#include "engine/HelperToolClient.h"

#include <memory>

class QThread;

namespace cv {
class HelperToolService;
}

namespace cv::cli {

// The privileged helper's client for the command line, whose main thread runs no Qt event loop:
// the client lives on a thread of its own that does. Calls may come from any thread, as the job
// makes them.
class HelperThread : public HelperToolClient
{
public:
    // Needs the application object (CliApplication::ensure) to exist. Without askPassword the
    // helper refuses work that needs a password instead of having the user asked.
    explicit HelperThread(bool askPassword);
    ~HelperThread() override;

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
    std::unique_ptr<QThread> m_thread;
    std::unique_ptr<HelperToolService> m_service;
};

} // namespace cv::cli
