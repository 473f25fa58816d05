#include "cli/HelperThread.h"

#include "system/HelperToolService.h"

#include <QThread>

namespace cv::cli {

HelperThread::HelperThread(bool askPassword)
    : m_thread(std::make_unique<QThread>()), m_service(std::make_unique<HelperToolService>())
{
    m_service->setInteractiveAuthorizationAllowed(askPassword);
    m_service->moveToThread(m_thread.get());
    m_thread->start();
}

HelperThread::~HelperThread()
{
    m_thread->quit();
    m_thread->wait();
    // With its thread stopped, the client may go from here.
    m_service.reset();
}

void HelperThread::openFileForWriting(const ExaminedEntry& entry, FileReply reply, AskingUser askingUser)
{
    m_service->openFileForWriting(entry, std::move(reply), std::move(askingUser));
}

void HelperThread::allowEntries(const std::vector<ExaminedEntry>& entries, ListReply reply,
                                AskingUser askingUser)
{
    m_service->allowEntries(entries, std::move(reply), std::move(askingUser));
}

void HelperThread::deleteFileAtPath(const ExaminedEntry& entry, Reply reply, AskingUser askingUser)
{
    m_service->deleteFileAtPath(entry, std::move(reply), std::move(askingUser));
}

void HelperThread::renameEntryAt(const ExaminedEntry& entry, const std::string& newName, Reply reply,
                                 AskingUser askingUser)
{
    m_service->renameEntryAt(entry, newName, std::move(reply), std::move(askingUser));
}

void HelperThread::reformatVolumeAt(const std::string& mountPath, const ConfirmedVolume& confirmed,
                                    Reply reply, AskingUser askingUser)
{
    m_service->reformatVolumeAt(mountPath, confirmed, std::move(reply), std::move(askingUser));
}

void HelperThread::checkReformatVolumeAt(const std::string& mountPath, Reply reply)
{
    m_service->checkReformatVolumeAt(mountPath, std::move(reply));
}

void HelperThread::deleteSnapshots(Reply reply, AskingUser askingUser)
{
    m_service->deleteSnapshots(std::move(reply), std::move(askingUser));
}

void HelperThread::forgetAllowedEntries()
{
    m_service->forgetAllowedEntries();
}

void HelperThread::withdrawCalls()
{
    m_service->withdrawCalls();
}

void HelperThread::withdrawCallsOn(const ExaminedEntry& entry)
{
    m_service->withdrawCallsOn(entry);
}

} // namespace cv::cli
