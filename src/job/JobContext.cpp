#include "job/JobContext.h"

#include "common/Log.h"

#include <algorithm>

namespace cv {

JobContext::JobContext(std::shared_ptr<PathCollection> locations, std::shared_ptr<Algorithm> algorithm,
                       std::shared_ptr<ShredOptions> options)
    : pathCollection(std::move(locations)), algorithm(std::move(algorithm)), options(std::move(options))
{}

bool JobContext::isVolume(const std::string& path) const
{
    return environment.volumeProbe.isVolume && environment.volumeProbe.isVolume(path);
}

void JobContext::keepFoldersOf(const std::string& target)
{
    fileshredCoordinator->setFilesOnly(options->filesOnly && !wholeTargets.contains(target));
}

void JobContext::addFailure(ShredItem::Kind kind, const std::string& path, const char* reasonKey,
                            std::string detail)
{
    logMessage("Failed: ", path, ": ", reasonKey, detail.empty() ? "" : ": ", detail);
    progress.update([&](JobProgress::Counters& counters) {
        result->addFailure(kind, path, reasonKey, std::move(detail));
        ++counters.otherErrorCount;
    });
    progress.sendThrottledEvent();
}

bool JobContext::hasFailureAt(const std::string& path) const
{
    return std::any_of(result->history.begin(), result->history.end(), [&](const ShredItem& item) {
        return item.kind != ShredItem::Kind::File && item.path.str() == path;
    });
}

} // namespace cv
