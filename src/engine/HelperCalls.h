#pragma once

#include "common/Expected.h"
#include "engine/HelperToolClient.h"

#include <chrono>
#include <string>
#include <sys/stat.h>

namespace cv {

class ShredContext;

// The calls a shred job makes to the privileged helper, for entries it examined itself: open up a
// file it may not write, delete an entry it may not remove, rename an entry in a folder it may not
// write, and at the end give the opened-up files back. Each call waits for the helper's answer on
// the job's worker (see HelperWait); a call given up on is withdrawn, so that the helper never
// carries it out later.
class HelperCalls
{
public:
    // How long a call may take before it counts as refused, unless the helper said that it asks
    // the user: then the job waits for the user's answer, or a cancel.
    static constexpr std::chrono::milliseconds kTimeout{5000};

    HelperCalls(HelperToolClient* helperTool, ShredContext& context);

    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }

    // Have the helper open up, delete, or rename the entry at path that was examined as info; the
    // helper acts on that very entry only (its folder, name, device and inode).
    Expected<void, std::string> openUp(const std::string& path, const struct stat& info);
    Expected<void, std::string> remove(const std::string& path, const struct stat& info);
    // Renames from to `to` in the folder dirFd (a folder the process may not write); 0 or the errno
    // to count.
    int renameInFolder(int dirFd, const std::string& from, const std::string& to);

    // The helper opened up a file for this job: it is given back by restoreGivenFiles().
    void noteFileGiven() { m_gaveFiles = true; }
    // Every file the helper opened up and this job did not overwrite and delete gets its owner and
    // mode back.
    void restoreGivenFiles();

private:
    enum class Verb
    {
        OpenUp,
        Delete,
        Rename,
    };
    Expected<void, std::string> call(const std::string& path, const struct stat& info, Verb verb,
                                     const std::string& newName = std::string());

    HelperToolClient* m_helperTool;
    ShredContext& m_context;
    std::chrono::milliseconds m_timeout = kTimeout;
    bool m_gaveFiles = false;
};

} // namespace cv
