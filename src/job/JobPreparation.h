#pragma once

#include <cstdint>
#include <string>

namespace cv {

class JobContext;

// The job's first step: logs its options, makes the writers and coordinators, prepares the targets
// and what stays of them, and starts the result and the progress counters.
class JobPreparation
{
public:
    static constexpr std::uint64_t kFreeSpaceBlockSize = 8388608;

    JobPreparation(JobContext& context, std::string action) : m_context(context), m_action(std::move(action))
    {}

    void run();

private:
    void logOptions() const;
    void createTools();
    // Excludes, the folders above them and the volumes' mount points stay in place.
    void prepareTargets();
    void createResult();
    void countTotals();

    JobContext& m_context;
    std::string m_action;
};

} // namespace cv
