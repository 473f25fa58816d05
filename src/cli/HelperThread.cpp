#include "cli/HelperThread.h"

#include "system/HelperToolService.h"

#include <QThread>

namespace cv::cli {

HelperThread::HelperThread()
    : m_thread(std::make_unique<QThread>()), m_service(std::make_unique<HelperToolService>())
{
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

void HelperThread::allowWriteOperationsOnPath(const std::string& path, Reply reply)
{
    m_service->allowWriteOperationsOnPath(path, std::move(reply));
}

void HelperThread::deleteFileAtPath(const std::string& path, Reply reply)
{
    m_service->deleteFileAtPath(path, std::move(reply));
}

void HelperThread::reformatVolumeAt(const std::string& mountPath, Reply reply)
{
    m_service->reformatVolumeAt(mountPath, std::move(reply));
}

void HelperThread::deleteSnapshots(Reply reply)
{
    m_service->deleteSnapshots(std::move(reply));
}

} // namespace cv::cli
