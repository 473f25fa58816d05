#pragma once

#include "engine/ItemPath.h"
#include "engine/ShredState.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace cv {

class FileShredderDelegate;

// The counters and texts of a running job, which cancel() and snapshots read from other threads,
// and the snapshots sent to the job's delegate: at once, or at most every 50 ms.
class JobProgress
{
public:
    static constexpr std::chrono::milliseconds kEventInterval{50};

    struct Counters
    {
        std::string action;
        ItemPath curPath;                 // a file's path is spelt out only when a snapshot shows it
        ItemPath pathBeforeAuthorization; // shown again when the user has answered
        bool waitingForAuthorization = false;
        std::chrono::steady_clock::time_point startDate{};
        std::uint64_t errorCount = 0;
        std::uint64_t otherErrorCount = 0;
        std::uint64_t filesSettled = 0; // files overwritten or failed, not cut short by a cancel
        std::uint64_t fileCount = 0;
        std::uint64_t fileProgress = 0;
        std::int64_t bytesCount = 0;
        std::int64_t bytesProgress = 0;
        std::int64_t freespaceBytesProgress = 0; // the part of bytesProgress written into free space
    };

    void setDelegate(FileShredderDelegate* delegate) { m_delegate = delegate; }
    FileShredderDelegate* delegate() const { return m_delegate; }

    // Runs change on the counters under the lock that the readers on other threads take too.
    template <typename Change> decltype(auto) update(Change&& change)
    {
        std::lock_guard lock(m_mutex);
        return change(m_counters);
    }

    std::shared_ptr<ShredState> getState() const;
    void sendState();
    void sendThrottledEvent();
    void setCurPath(std::string path);
    // Bytes written; the total grows with them so that no figure exceeds it.
    void addWrittenBytes(std::int64_t bytes, bool intoFreeSpace);
    // While the user is asked for the password, the snapshot says so instead of the path.
    void setWaitingForAuthorization(bool waiting);

private:
    mutable std::mutex m_mutex;
    Counters m_counters;
    FileShredderDelegate* m_delegate = nullptr;
    std::optional<std::chrono::steady_clock::time_point> m_lastEventTriggered;
};

} // namespace cv
