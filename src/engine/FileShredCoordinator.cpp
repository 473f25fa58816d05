#include "engine/FileShredCoordinator.h"

#include "engine/ProtectedEntries.h"
#include "engine/StayingFiles.h"

namespace cv {

FileShredCoordinator::FileShredCoordinator(std::shared_ptr<Algorithm> algorithm, ShredWriter& writer,
                                           HelperToolClient* helperTool)
    : m_context(std::move(algorithm), writer), m_helper(helperTool, m_context),
      m_overwrite(m_context, m_helper), m_rename(m_context, m_helper), m_flush(m_context),
      m_delete(m_context, m_helper)
{}

void FileShredCoordinator::cancel()
{
    m_context.cancel();
    m_context.writer.cancel();
}

void FileShredCoordinator::shredPath(const std::string& path, const PreparedExcludes& excludes)
{
    m_overwrite.shredPath(path, excludes);
}

void FileShredCoordinator::finishShredding()
{
    m_overwrite.finishShredding();
}

void FileShredCoordinator::shredFile(const std::string& path)
{
    m_overwrite.shredFile(path);
}

std::string FileShredCoordinator::renameAtPath(const std::string& path, const PreparedExcludes& excludes)
{
    return m_rename.renameAtPath(path, excludes);
}

Expected<void, std::string> FileShredCoordinator::flushLog(const std::string& volumePath, std::uint64_t count)
{
    return m_flush.flushLog(volumePath, count);
}

void FileShredCoordinator::saveDelete(const std::string& path, const PreparedExcludes& excludes)
{
    m_delete.saveDelete(path, excludes);
}

void FileShredCoordinator::finishDeleting()
{
    m_delete.finishDeleting();
}

void FileShredCoordinator::settle(std::vector<ShredItem>& history) const
{
    m_context.record.settle(history, m_context.isCancelled());
    StayingFiles::locate(history, m_context.targetsNow);
}

void FileShredCoordinator::endHelperWork()
{
    m_helper.endJob();
}

void FileShredCoordinator::allowProtectedEntries(const std::vector<std::string>& targets,
                                                 const PreparedExcludes& excludes)
{
    if (!m_helper.available() || m_context.isCancelled())
        return;
    m_helper.allowEntries(ProtectedEntries::collect(targets, excludes, m_context.reader));
}

} // namespace cv
