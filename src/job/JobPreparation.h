#pragma once

#include <string>

namespace cv {

class JobProgress;
class JobResultBuilder;
class JobSettings;
class JobTargets;
class JobTools;
class PhaseListener;

// The job's first step: logs its options, makes the writers and coordinators, prepares the targets
// and what stays of them, and starts the result and the progress counters.
class JobPreparation
{
public:
    // What it sets up: the tools (reporting to listener), the targets, the result and the progress.
    struct Parts
    {
        JobTools& tools;
        PhaseListener& listener;
        JobTargets& targets;
        JobResultBuilder& result;
        JobProgress& progress;
    };

    JobPreparation(const JobSettings& settings, Parts parts, std::string action)
        : m_settings(settings), m_parts(parts), m_action(std::move(action))
    {}

    void run();

private:
    void logOptions() const;
    void createTools();
    // Excludes, the folders above them and the volumes' mount points stay in place.
    void prepareTargets();
    void countTotals();

    const JobSettings& m_settings;
    Parts m_parts;
    std::string m_action;
};

} // namespace cv
