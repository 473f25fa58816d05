#pragma once

#include "engine/FileShredCoordinator.h"
#include "engine/ShredWriter.h"
#include "freespace/FreeSpaceCoordinator.h"
#include "freespace/FreeSpaceWriter.h"

#include <cstdint>
#include <memory>
#include <mutex>

namespace cv {

class JobSettings;
class PhaseListener;

// The writers and coordinators that do the job's work: made by the preparation once the job's
// environment is known, then used by the phases on the job's worker. cancel() may come from any
// thread at any time, also before they are made: then they are made cancelled.
class JobTools
{
public:
    static constexpr std::uint64_t kFreeSpaceBlockSize = 8388608;

    // The coordinators report to listener, which outlives them.
    void make(const JobSettings& settings, PhaseListener& listener);
    bool made() const { return m_fileshredCoordinator != nullptr; }
    // Cancels what has been made; settings.isCancelled() stands for what is made later.
    void cancel();

    const ShredWriter& writer() const { return *m_writer; }
    const FreeSpaceWriter& freespaceWriter() const { return *m_freespaceWriter; }
    FreeSpaceCoordinator& freespaceCoordinator() { return *m_freespaceCoordinator; }
    FileShredCoordinator& fileshredCoordinator() { return *m_fileshredCoordinator; }

private:
    std::mutex m_mutex; // between make() on the worker and cancel() from another thread
    std::unique_ptr<ShredWriter> m_writer;
    std::unique_ptr<FreeSpaceWriter> m_freespaceWriter;
    std::unique_ptr<FreeSpaceCoordinator> m_freespaceCoordinator;
    std::unique_ptr<FileShredCoordinator> m_fileshredCoordinator;
};

} // namespace cv
