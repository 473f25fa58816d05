#include "cli/HelperThread.h"

#include "system/HelperToolService.h"

#include <QThread>

namespace cv::cli {

HelperThread::HelperThread(bool askPassword, std::function<void()> beforeAsking)
    : m_thread(std::make_unique<QThread>()), m_service(std::make_unique<HelperToolService>())
{
    m_service->setInteractiveAuthorizationAllowed(askPassword);
    m_service->setBeforeAsking(std::move(beforeAsking));
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

} // namespace cv::cli
