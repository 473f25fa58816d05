#include "engine/DeletionSync.h"

#include "common/Log.h"
#include "common/PathText.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cv {

void DeletionSync::watch(const std::string& path)
{
    watchFolder(splitPath(path).parent);
    struct stat info;
    if (::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        watchFolder(path);
}

void DeletionSync::watchFolder(const std::string& path)
{
    UniqueFd folder(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    struct stat info;
    if (!folder || ::fstat(folder.get(), &info) != 0) {
        logMessage("Cannot open ", path, " to sync the deletions there: ", std::strerror(errno));
        return;
    }
    if (!m_volumes.contains(info.st_dev))
        m_volumes.emplace(info.st_dev, Volume{std::move(folder), path, false});
}

void DeletionSync::removed(dev_t device)
{
    const auto found = m_volumes.find(device);
    if (found != m_volumes.end())
        found->second.changed = true;
    else
        logMessage("A removal on device ", device, " lies on no volume watched for syncing");
}

std::vector<DeletionSync::Failure> DeletionSync::sync()
{
    std::vector<Failure> failures;
    for (auto& [device, volume] : m_volumes) {
        if (!volume.changed)
            continue;
        volume.changed = false;
        if (::syncfs(volume.folder.get()) != 0) {
            const int error = errno;
            logMessage("Syncing the deletions on ", volume.path, " failed: ", std::strerror(error));
            failures.push_back({volume.path, error});
        }
    }
    // The folders held open go: the volumes may be unmounted once the job has ended.
    m_volumes.clear();
    return failures;
}

} // namespace cv
