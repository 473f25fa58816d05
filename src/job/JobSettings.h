#pragma once

#include "engine/Algorithm.h"
#include "engine/ShredOptions.h"
#include "job/JobEnvironment.h"

#include <atomic>
#include <memory>
#include <string>

namespace cv {

// What a job runs with and never changes while it runs: its method, its options and the program's
// environment, plus the user's cancel, which may come from any thread. The phases hold it const;
// only the job itself sets the environment (before it runs) and cancels.
class JobSettings
{
public:
    // A job given no options runs with the defaults.
    JobSettings(std::shared_ptr<Algorithm> algorithm, std::shared_ptr<ShredOptions> options);

    const std::shared_ptr<Algorithm>& algorithm() const { return m_algorithm; }
    const ShredOptions& options() const { return *m_options; }
    // The same options, for the result that names them.
    const std::shared_ptr<ShredOptions>& sharedOptions() const { return m_options; }

    const JobEnvironment& environment() const { return m_environment; }
    void setEnvironment(JobEnvironment environment) { m_environment = std::move(environment); }
    // Whether path is the mount point of a volume, as the environment's probe sees it.
    bool isVolume(const std::string& path) const;

    bool isCancelled() const { return m_cancelled.load(std::memory_order_relaxed); }
    void cancel() { m_cancelled.store(true, std::memory_order_relaxed); }

private:
    std::shared_ptr<Algorithm> m_algorithm;
    std::shared_ptr<ShredOptions> m_options;
    JobEnvironment m_environment;
    std::atomic<bool> m_cancelled{false};
};

} // namespace cv
