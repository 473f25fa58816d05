#pragma once

#include "common/Expected.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

namespace cv {

class JobContext;

// The complete erase's last step: has the privileged helper reformat each target volume, and waits
// for its reply until a cancel ends the wait.
class VolumeReformat
{
public:
    // The reply of a reformat, and whether a cancel stopped waiting for it. Shared with the reply,
    // which may come after the job stopped waiting.
    struct Wait
    {
        std::mutex mutex;
        std::condition_variable done;
        bool answered = false;
        bool abandoned = false;
        bool askingUser = false; // the helper asks the user for the password
        Expected<void, std::string> outcome;
    };

    explicit VolumeReformat(JobContext& context) : m_context(context) {}

    void formatVolumes();
    // The wait in progress, if any; read under the job's progress lock, which guards it.
    std::shared_ptr<Wait> pendingLocked() const { return m_pending; }
    // Wakes the job from the wait (a cancel).
    static void abandon(Wait& wait);

private:
    void waitForReformat(const std::string& mountPath);
    void askHelper(const std::string& mountPath, const std::shared_ptr<Wait>& wait);
    // Waits until the helper answers or a cancel gives up; says so while the user is asked.
    // Returns whether the helper answered, and its outcome in outcome.
    bool awaitReply(Wait& wait, Expected<void, std::string>& outcome);
    void report(const std::string& mountPath, bool answered, const Expected<void, std::string>& outcome);
    void setPending(std::shared_ptr<Wait> wait);

    JobContext& m_context;
    std::shared_ptr<Wait> m_pending;
};

} // namespace cv
