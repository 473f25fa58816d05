#pragma once

#include "common/Expected.h"

#include <functional>
#include <string>

namespace cv {

// The engine's view of the privileged helper: the root-only operations a job may ask for. The
// window's implementation talks to the helper over D-Bus; tests use stand-ins.
//
// Calls may be made from any thread (the job's worker makes them); an implementation that needs a
// particular thread moves the call there itself. Each reply is called at most once, on any thread,
// with success or the error message; it may also never be called, so callers wait with a timeout
// and keep whatever the reply touches alive on their own (shared state), not on the stack.
class HelperToolClient
{
public:
    using Reply = std::function<void(Expected<void, std::string> outcome)>;

    virtual ~HelperToolClient() = default;

    // Afterwards the calling user can open the file at path for writing.
    virtual void allowWriteOperationsOnPath(const std::string& path, Reply reply) = 0;
    // Afterwards nothing exists at path.
    virtual void deleteFileAtPath(const std::string& path, Reply reply) = 0;
    // Unmounts the volume mounted at mountPath, makes a new file system of the same type and label
    // on its device, and mounts it at the same place.
    virtual void reformatVolumeAt(const std::string& mountPath, Reply reply) = 0;
    // Deletes the local snapshots of the startup volume. A client that cannot says so at once.
    virtual void deleteSnapshots(Reply reply)
    {
        reply(Unexpected(std::string("deleting snapshots is not available")));
    }
};

} // namespace cv
