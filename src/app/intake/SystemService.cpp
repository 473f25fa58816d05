#include "app/intake/SystemService.h"

#include "common/Log.h"

namespace cv {

SystemService& SystemService::sharedInstance()
{
    static SystemService instance;
    return instance;
}

void SystemService::keep(const std::vector<std::string>& paths)
{
    logLine("Keeping Files");
    m_files.insert(m_files.end(), paths.begin(), paths.end());
}

void SystemService::erase(const std::vector<std::string>& paths)
{
    if (paths.empty())
        return;
    // Queued like an opened file while no shred screen takes files: handed to a shred screen that
    // a job has replaced, they would be lost (or reach a screen that no longer exists).
    if (!canDeliver()) {
        keep(paths);
        return;
    }
    m_delegate->droppedLocations(paths);
}

void SystemService::openFile(const std::string& path)
{
    if (!canDeliver()) {
        keep({path});
        return;
    }
    logLine("Directly Adding Files");
    m_delegate->droppedLocations({path});
}

void SystemService::readyToRun()
{
    logLine("Ready to Run");
    if (!m_delegate)
        return;
    if (!m_files.empty()) {
        std::vector<std::string> queued;
        queued.swap(m_files);
        m_delegate->droppedLocations(queued);
    }
    m_readyToReceiveFiles = true;
}

} // namespace cv
