#include "job/JobPreparation.h"

#include "common/Localization.h"
#include "common/Log.h"
#include "job/JobProgress.h"
#include "job/JobResultBuilder.h"
#include "job/JobSettings.h"
#include "job/JobTargets.h"
#include "job/JobTools.h"

namespace cv {

namespace {

const char* flag(bool value)
{
    return value ? "1" : "0";
}

} // namespace

void JobPreparation::run()
{
    logOptions();
    createTools();
    prepareTargets();
    m_parts.result.begin(m_settings, m_parts.targets);
    countTotals();
    if (!m_settings.options().eraseFreeSpaceOnly)
        logMessage("FileCount: ", m_parts.targets.collection()->fileCount());
    logMessage("Algorithm: ", m_settings.algorithm()->selectDesc());
    m_parts.progress.sendState();
}

void JobPreparation::logOptions() const
{
    const ShredOptions& options = m_settings.options();
    logMessage("Start Action ", m_action);
    logMessage("Has Volume: ", flag(options.hasVolumes));
    logMessage("Format Volume: ", flag(options.formatVolume));
    logMessage("Free Space Only: ", flag(options.eraseFreeSpaceOnly));
    logMessage("Verification: ", verificationKey(options.verification));
}

void JobPreparation::createTools()
{
    m_parts.progress.update([&](JobProgress::Counters& counters) {
        counters.startDate = std::chrono::steady_clock::now();
        counters.action = m_settings.isCancelled() ? localized("Canceling...") : m_action;
        counters.curPath = localized("Initialising");
    });
    m_parts.tools.make(m_settings, m_parts.listener);
}

void JobPreparation::prepareTargets()
{
    m_parts.targets.prepare(m_settings);
    // Excludes hold in the fill phase too: no fill file takes an excluded name or is removed there.
    m_parts.tools.freespaceCoordinator().setExcludes(&m_parts.targets.excludes());
}

void JobPreparation::countTotals()
{
    // Progress counts every pass written and every pass read back.
    const std::uint64_t passes = m_parts.tools.writer().passesCounted();
    const PathCollection& paths = *m_parts.targets.collection();
    const bool freeSpaceOnly = m_settings.options().eraseFreeSpaceOnly;
    m_parts.progress.update([&](JobProgress::Counters& counters) {
        counters.bytesCount = freeSpaceOnly ? 0 : paths.totalSize() * static_cast<std::int64_t>(passes);
        counters.fileCount = freeSpaceOnly ? 0 : paths.fileCount();
        counters.fileProgress = 0;
        counters.bytesProgress = 0;
        counters.freespaceBytesProgress = 0;
        counters.errorCount = 0;
        counters.otherErrorCount = 0;
    });
    if (freeSpaceOnly)
        m_parts.result.setTotals(0, 0);
    else
        m_parts.result.setTotals(paths.fileCount(), paths.totalSize());
}

} // namespace cv
