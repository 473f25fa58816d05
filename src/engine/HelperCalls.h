#pragma once

#include "common/Expected.h"
#include "common/UniqueFd.h"
#include "engine/HelperToolClient.h"

#include <chrono>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <utility>
#include <vector>

namespace cv {

class HelperWait;
class ShredContext;

// The calls a shred job makes to the privileged helper, for entries it examined itself: first one
// question for the job's whole list of entries it will need the helper for, then per entry: open a
// file it may not write (the helper hands a descriptor), delete an entry it may not remove, rename
// an entry in a folder it may not write; at the end the list is allowed no more. Each call waits
// for the helper's answer on the job's worker (see HelperWait); a call given up on is withdrawn, so
// that the helper never carries it out later. Once the user refused the list, the job asks nothing
// more.
class HelperCalls
{
public:
    // How long a call may take before it counts as refused, unless the helper said that it asks
    // the user: then the job waits for the user's answer, or a cancel.
    static constexpr std::chrono::milliseconds kTimeout{5000};

    HelperCalls(HelperToolClient* helperTool, ShredContext& context);

    void setTimeout(std::chrono::milliseconds timeout) { m_timeout = timeout; }
    // Whether there is a helper to call.
    bool available() const { return m_helperTool != nullptr; }

    // One question for the entries (path, as examined) the job needs the helper for; the entries
    // the helper refused are logged. Without an answer the job goes on, asking per entry.
    void allowEntries(const std::vector<std::pair<std::string, struct stat>>& entries);
    // Have the helper open (for writing, answering the descriptor), or delete, the entry at path that
    // was examined as info; the helper acts on that very entry only (its folder, name, device and inode).
    Expected<UniqueFd, std::string> openForWriting(const std::string& path, const struct stat& info);
    Expected<void, std::string> remove(const std::string& path, const struct stat& info);
    // Renames from to `to` in the folder dirFd (a folder the process may not write); 0 or the errno
    // to count.
    int renameInFolder(int dirFd, const std::string& from, const std::string& to);

    // The job's end: the entries allowed for it are allowed no more.
    void endJob();

private:
    enum class Verb
    {
        Open,
        Delete,
        Rename,
    };
    Expected<void, std::string> call(const std::string& path, const struct stat& info, Verb verb,
                                     const std::string& newName = std::string(), UniqueFd* file = nullptr);
    // Waits for the answer of a call on path; an error when there is none, or it is one. A call
    // that times out is withdrawn alone when it names entry, else with the client's other calls.
    Expected<void, std::string> await(HelperWait& wait, const std::string& path,
                                      const ExaminedEntry* entry = nullptr);
    // The entry at path as the helper takes it: an absolute folder, a name, device and inode.
    static Expected<ExaminedEntry, std::string> examinedEntry(const std::string& path,
                                                              const struct stat& info);

    HelperToolClient* m_helperTool;
    ShredContext& m_context;
    std::chrono::milliseconds m_timeout = kTimeout;
    bool m_allowedEntries = false;
    std::optional<std::string> m_refusal; // the user's no to the job's list
};

} // namespace cv
