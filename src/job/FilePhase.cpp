#include "job/FilePhase.h"

#include "common/Log.h"
#include "job/JobContext.h"

#include <cerrno>
#include <string_view>
#include <sys/stat.h>
#include <unordered_map>

namespace cv {

void FilePhase::shred()
{
    if (m_context.isCancelled())
        return;
    logLine("Shred Files");
    m_context.fileshredCoordinator->allowProtectedEntries(m_context.pathCollection->paths(),
                                                          m_context.preparedExcludes);
    for (const auto& path : m_context.pathCollection->paths()) {
        m_context.keepFoldersOf(path);
        m_context.fileshredCoordinator->shredPath(path, m_context.preparedExcludes);
    }
    m_context.fileshredCoordinator->finishShredding();
}

void FilePhase::renameFilesAndFolders()
{
    if (m_context.isCancelled())
        return;
    logLine("Renamse Files");
    std::vector<std::string> renamed;
    renamed.reserve(m_context.pathCollection->paths().size());
    for (const auto& path : m_context.pathCollection->paths()) {
        m_context.keepFoldersOf(path);
        renamed.push_back(m_context.fileshredCoordinator->renameAtPath(path, m_context.preparedExcludes));
    }
    m_context.targetsBeforeRenaming = m_context.pathCollection->paths();
    m_context.pathCollection->setPaths(std::move(renamed));
}

void FilePhase::saveDelete()
{
    logLine("Delete Files");
    const std::vector<std::string>& paths = m_context.pathCollection->paths();
    const std::vector<std::string>& before = m_context.targetsBeforeRenaming;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        m_context.keepFoldersOf(i < before.size() ? before[i] : paths[i]);
        m_context.fileshredCoordinator->saveDelete(paths[i], m_context.preparedExcludes);
    }
}

void FilePhase::shredRecords()
{
    const auto& records = m_context.pathCollection->records();
    if (m_context.isCancelled() || records.empty())
        return;
    // A target is gone when its name after the renaming is: then its record goes too, shredded like
    // the target. A target that stays keeps its record (a trashed item stays restorable).
    std::unordered_map<std::string_view, const std::string*> recordOf;
    for (const auto& [target, record] : records)
        recordOf.emplace(target, &record);
    std::vector<std::string> due;
    const std::vector<std::string>& before = m_context.targetsBeforeRenaming;
    const std::vector<std::string>& now = m_context.pathCollection->paths();
    for (std::size_t i = 0; i < before.size() && i < now.size(); ++i) {
        const auto record = recordOf.find(before[i]);
        struct stat info;
        if (record != recordOf.end() && ::lstat(now[i].c_str(), &info) != 0 && errno == ENOENT)
            due.push_back(*record->second);
    }
    if (due.empty())
        return;
    logLine("Delete Records");
    FileShredCoordinator& coordinator = *m_context.fileshredCoordinator;
    const PreparedExcludes& excludes = m_context.preparedExcludes;
    for (const std::string& record : due)
        coordinator.shredPath(record, excludes);
    coordinator.finishShredding();
    for (const std::string& record : due)
        coordinator.saveDelete(coordinator.renameAtPath(record, excludes), excludes);
}

void FilePhase::endHelperWork()
{
    m_context.fileshredCoordinator->endHelperWork();
}

} // namespace cv
