#include "job/FilePhase.h"

#include "common/Log.h"
#include "engine/FileShredCoordinator.h"
#include "job/JobSettings.h"
#include "job/JobTargets.h"

#include <cerrno>
#include <string_view>
#include <sys/stat.h>
#include <unordered_map>

namespace cv {

void FilePhase::keepFoldersOf(const std::string& target)
{
    m_coordinator.setFilesOnly(m_settings.options().filesOnly && !m_targets.goesWhole(target));
}

void FilePhase::shred()
{
    if (m_settings.isCancelled())
        return;
    logLine("Shred Files");
    const PreparedExcludes& excludes = m_targets.excludes();
    m_coordinator.allowProtectedEntries(m_targets.paths(), excludes);
    for (const auto& path : m_targets.paths()) {
        keepFoldersOf(path);
        m_coordinator.shredPath(path, excludes);
    }
    m_coordinator.finishShredding();
}

void FilePhase::renameFilesAndFolders()
{
    if (m_settings.isCancelled())
        return;
    logLine("Renamse Files");
    std::vector<std::string> renamed;
    renamed.reserve(m_targets.paths().size());
    for (const auto& path : m_targets.paths()) {
        keepFoldersOf(path);
        renamed.push_back(m_coordinator.renameAtPath(path, m_targets.excludes()));
    }
    m_targets.setRenamed(std::move(renamed));
}

void FilePhase::saveDelete()
{
    logLine("Delete Files");
    const std::vector<std::string>& paths = m_targets.paths();
    const std::vector<std::string>& before = m_targets.namesBeforeRenaming();
    for (std::size_t i = 0; i < paths.size(); ++i) {
        keepFoldersOf(i < before.size() ? before[i] : paths[i]);
        m_coordinator.saveDelete(paths[i], m_targets.excludes());
    }
}

void FilePhase::shredRecords()
{
    const auto& records = m_targets.collection()->records();
    if (m_settings.isCancelled() || records.empty())
        return;
    // A target is gone when its name after the renaming is: then its record goes too, shredded like
    // the target. A target that stays keeps its record (a trashed item stays restorable).
    std::unordered_map<std::string_view, const std::string*> recordOf;
    for (const auto& [target, record] : records)
        recordOf.emplace(target, &record);
    std::vector<std::string> due;
    const std::vector<std::string>& before = m_targets.namesBeforeRenaming();
    const std::vector<std::string>& now = m_targets.paths();
    for (std::size_t i = 0; i < before.size() && i < now.size(); ++i) {
        const auto record = recordOf.find(before[i]);
        struct stat info;
        if (record != recordOf.end() && ::lstat(now[i].c_str(), &info) != 0 && errno == ENOENT)
            due.push_back(*record->second);
    }
    if (due.empty())
        return;
    logLine("Delete Records");
    const PreparedExcludes& excludes = m_targets.excludes();
    for (const std::string& record : due)
        m_coordinator.shredPath(record, excludes);
    m_coordinator.finishShredding();
    for (const std::string& record : due)
        m_coordinator.saveDelete(m_coordinator.renameAtPath(record, excludes), excludes);
}

void FilePhase::endHelperWork()
{
    m_coordinator.endHelperWork();
}

} // namespace cv
