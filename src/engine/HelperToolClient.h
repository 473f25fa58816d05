#pragma once

#include "common/ConfirmedVolume.h"
#include "common/Expected.h"
#include "common/UniqueFd.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace cv {

// One entry of the file system as the engine examined it: the folder that holds it, its name there,
// and the device and inode it had. The helper acts on that entry only, and only while that name
// still holds that very file.
struct ExaminedEntry
{
    std::string folder;
    std::string name;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
};

// The engine's view of the privileged helper: the root-only operations a job may ask for. Its one
// implementation (system/HelperToolService) talks to the helper over D-Bus, for the window and the
// command line alike; tests use stand-ins. Every operation is pure, so that an operation added
// here and forgotten in the implementation fails the build.
//
// Calls may be made from any thread (the job's worker makes them); an implementation that needs a
// particular thread moves the call there itself. Each reply is called at most once, on any thread,
// with success or the error message; it may also never be called, so callers wait with a timeout
// and keep whatever the reply touches alive on their own (shared state), not on the stack.
//
// A call may need the user's password. Then askingUser is called (at most once, on any thread)
// before the user is asked, so that the caller can wait as long as the user takes and say so. A
// caller that gives up on its calls withdraws them: the helper then drops the questions it still
// asks about them and never carries them out.
class HelperToolClient
{
public:
    using Reply = std::function<void(Expected<void, std::string> outcome)>;
    using AskingUser = std::function<void()>;
    // A descriptor handed over, or why not.
    using FileReply = std::function<void(Expected<UniqueFd, std::string> outcome)>;
    // Per entry of a list: "" when it is allowed, else why not; or why the whole list was not.
    using ListReply = std::function<void(Expected<std::vector<std::string>, std::string> outcome)>;

    virtual ~HelperToolClient() = default;

    // The regular file entry, opened for reading and writing by the helper: the caller writes
    // through the descriptor, and the file keeps its owner and mode.
    virtual void openFileForWriting(const ExaminedEntry& entry, FileReply reply, AskingUser askingUser) = 0;
    // One question for a job's list of entries: afterwards this client's calls on an allowed entry
    // ask the user nothing more.
    virtual void allowEntries(const std::vector<ExaminedEntry>& entries, ListReply reply,
                              AskingUser askingUser) = 0;
    // Afterwards entry (a file, a link, or an empty folder) no longer exists; a folder that is not
    // empty stays.
    virtual void deleteFileAtPath(const ExaminedEntry& entry, Reply reply, AskingUser askingUser) = 0;
    // Renames entry to newName in the same folder, never replacing an entry of that name.
    virtual void renameEntryAt(const ExaminedEntry& entry, const std::string& newName, Reply reply,
                               AskingUser askingUser) = 0;
    // Unmounts the volume mounted at mountPath, makes a new file system of the same type and label
    // on its device, and mounts it at the same place; only while it is still the confirmed volume.
    virtual void reformatVolumeAt(const std::string& mountPath, const ConfirmedVolume& confirmed, Reply reply,
                                  AskingUser askingUser) = 0;
    // Whether the helper would reformat the volume at mountPath (its policy: where it is mounted,
    // the disk it is on, the tools), asking nobody and changing nothing; the error is its reason.
    virtual void checkReformatVolumeAt(const std::string& mountPath, Reply reply) = 0;
    // Deletes the local snapshots of the startup volume.
    virtual void deleteSnapshots(Reply reply, AskingUser askingUser) = 0;
    // Withdraws every call of this client that has not been carried out yet: their questions to
    // the user are taken back, and the helper never acts on them.
    virtual void withdrawCalls() = 0;
    // Withdraws the calls of this client about entry that have not been carried out yet, and
    // only those: a question about other work of the client (the snapshots, say) stays.
    virtual void withdrawCallsOn(const ExaminedEntry& entry) = 0;
    // The job is over: the entries allowEntries allowed are allowed no more.
    virtual void forgetAllowedEntries() = 0;
};

} // namespace cv
