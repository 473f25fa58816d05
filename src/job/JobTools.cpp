#include "job/JobTools.h"

#include "job/JobSettings.h"
#include "job/PhaseListener.h"

namespace cv {

void JobTools::make(const JobSettings& settings, PhaseListener& listener)
{
    const JobEnvironment& environment = settings.environment();
    const ShredOptions& options = settings.options();
    std::lock_guard lock(m_mutex);
    m_writer = std::make_unique<ShredWriter>(settings.algorithm(), ShredWriter::kFileBlockSize);
    m_freespaceWriter = std::make_unique<FreeSpaceWriter>(settings.algorithm(), kFreeSpaceBlockSize);
    m_writer->setVerification(options.verification);
    m_freespaceWriter->setVerification(options.verification);
    m_freespaceCoordinator = std::make_unique<FreeSpaceCoordinator>(settings.algorithm(), *m_freespaceWriter,
                                                                    environment.volumeProbe);
    m_freespaceCoordinator->setDelegate(&listener);
    if (!environment.homeFolder.empty())
        m_freespaceCoordinator->setHomeFolder(environment.homeFolder);
    m_fileshredCoordinator =
        std::make_unique<FileShredCoordinator>(settings.algorithm(), *m_writer, environment.helperTool);
    m_fileshredCoordinator->setDelegate(&listener);
    m_fileshredCoordinator->setFilesOnly(options.filesOnly);
    m_fileshredCoordinator->setFilePause(environment.filePause);
    // A cancel that came before the job ran still holds.
    if (settings.isCancelled()) {
        m_freespaceCoordinator->cancel();
        m_fileshredCoordinator->cancel();
    }
}

void JobTools::cancel()
{
    std::lock_guard lock(m_mutex);
    if (m_fileshredCoordinator)
        m_fileshredCoordinator->cancel();
    if (m_freespaceCoordinator)
        m_freespaceCoordinator->cancel();
}

} // namespace cv
