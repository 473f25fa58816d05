#include "job/JobProgress.h"

#include "common/Localization.h"
#include "job/FileShredderDelegate.h"

namespace cv {

void JobProgress::sendThrottledEvent()
{
    const auto now = std::chrono::steady_clock::now();
    bool send = false;
    {
        std::lock_guard lock(m_mutex);
        if (!m_lastEventTriggered)
            m_lastEventTriggered = now;
        if (now - *m_lastEventTriggered > kEventInterval) {
            m_lastEventTriggered = now;
            send = true;
        }
    }
    if (send)
        sendState();
}

std::shared_ptr<ShredState> JobProgress::getState() const
{
    auto state = std::make_shared<ShredState>();
    std::lock_guard lock(m_mutex);
    state->path = m_counters.curPath.str();
    state->curAction = m_counters.action;
    state->fileCount = m_counters.fileCount;
    state->fileProgress = m_counters.fileProgress;
    state->bytesCount = m_counters.bytesCount;
    state->bytesProgress = m_counters.bytesProgress;
    state->errorCount = m_counters.errorCount;
    state->otherErrorCount = m_counters.otherErrorCount;
    state->waitingForAuthorization = m_counters.waitingForAuthorization;
    state->timeSinceStart =
        m_counters.startDate == std::chrono::steady_clock::time_point{}
            ? 0.0
            : std::chrono::duration<double>(std::chrono::steady_clock::now() - m_counters.startDate).count();
    return state;
}

void JobProgress::sendState()
{
    if (m_delegate)
        m_delegate->curProgress(getState());
}

void JobProgress::setCurPath(std::string path)
{
    std::lock_guard lock(m_mutex);
    m_counters.curPath = std::move(path);
}

void JobProgress::addWrittenBytes(std::int64_t bytes, bool intoFreeSpace)
{
    {
        std::lock_guard lock(m_mutex);
        m_counters.bytesProgress += bytes;
        m_counters.bytesCount = std::max(m_counters.bytesCount, m_counters.bytesProgress);
        if (intoFreeSpace)
            m_counters.freespaceBytesProgress += bytes;
    }
    sendThrottledEvent();
}

void JobProgress::setWaitingForAuthorization(bool waiting)
{
    {
        std::lock_guard lock(m_mutex);
        if (waiting) {
            m_counters.pathBeforeAuthorization = m_counters.curPath;
            m_counters.curPath = localized("Waiting for authorization...");
        } else {
            m_counters.curPath = m_counters.pathBeforeAuthorization;
        }
        m_counters.waitingForAuthorization = waiting;
    }
    // At once, not throttled: the user is to see why the job stands still.
    sendState();
}

} // namespace cv
