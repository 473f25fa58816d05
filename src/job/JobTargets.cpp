#include "job/JobTargets.h"

#include "job/JobSettings.h"
#include "targets/PathCollectionFactory.h"

#include <linux/magic.h>
#include <sys/stat.h>
#include <sys/vfs.h>

namespace cv {

namespace {

// The lost+found folder at the root of an ext file system, which fsck expects to find there.
bool isLostAndFound(const std::string& volumePath, const std::string& path)
{
    struct statfs fileSystem;
    struct stat info;
    return ::statfs(volumePath.c_str(), &fileSystem) == 0 && fileSystem.f_type == EXT4_SUPER_MAGIC &&
           ::lstat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

} // namespace

void JobTargets::prepare(const JobSettings& settings)
{
    const ShredOptions& options = settings.options();
    if (options.hasVolumes && !options.eraseFreeSpaceOnly)
        PathCollectionFactory().updatePathCollection(*m_collection);
    m_excludes = PreparedExcludes(m_collection->excludes());
    m_wholeTargets = std::unordered_set<std::string>(m_collection->wholeTargets().begin(),
                                                     m_collection->wholeTargets().end());
    // A volume's mount point is where its files live, not one of them: its contents are renamed and
    // deleted, the mount point itself is left as it is, and so is an ext file system's lost+found.
    for (const auto& path : m_collection->paths()) {
        if (!settings.isVolume(path))
            continue;
        m_excludes.keep(path);
        const std::string lostAndFound = path + "/lost+found";
        if (isLostAndFound(path, lostAndFound))
            m_excludes.keep(lostAndFound);
    }
}

void JobTargets::setRenamed(std::vector<std::string> newPaths)
{
    m_namesBeforeRenaming = m_collection->paths();
    m_collection->setPaths(std::move(newPaths));
}

} // namespace cv
