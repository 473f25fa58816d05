#include "app/shred/ShredSelection.h"

#include "common/Log.h"
#include "engine/Algorithm.h"
#include "targets/PathCollectionFactory.h"
#include "targets/PathOperand.h"

#include <QtConcurrent/QtConcurrentRun>

#include <memory>
#include <utility>

namespace cv {

ShredSelection::ShredSelection(VolumeProbe volumeProbe, VolumeOption preset, QObject* parent)
    : QObject(parent), m_volumeProbe(volumeProbe), m_plan(std::move(volumeProbe), preset)
{}

ShredSelection::~ShredSelection() = default;

VolumeFacts ShredSelection::volumeFacts() const
{
    if (!m_plan.hasVolume())
        return {};
    const std::string& volume = m_plan.volumes().front();
    if (m_volumeProbe.describe)
        return m_volumeProbe.describe(volume);
    VolumeFacts facts;
    facts.mountPoint = volume;
    return facts;
}

std::vector<TargetVolume> ShredSelection::copyOnWriteVolumes() const
{
    return ShredPlan::copyOnWriteVolumes(m_pathCollection.get());
}

bool ShredSelection::canStart(const Algorithm* method) const
{
    return !isScanning() && m_plan.canStart(m_pathCollection.get(), method);
}

ShredSelection::Drop ShredSelection::drop(const std::vector<std::string>& rawPaths)
{
    // Dropped, opened and bus-sent paths may carry links, "..", "." or a trailing slash: every
    // check below and the shred itself must see the path the file system means ("/etc/../" is
    // the startup volume, "lnk/x" and "real/x" are one file). Only absolute paths are taken: the
    // program's own working folder is nothing the user chose.
    std::vector<std::string> paths;
    paths.reserve(rawPaths.size());
    m_kernelRefusal = {};
    for (const auto& path : rawPaths) {
        const auto checked =
            PathOperand::check(path, PathOperand::Kind::Target, PathOperand::Source::Desktop);
        if (checked.taken())
            paths.push_back(checked.path);
        else
            logMessage("Refused the path \"", path, "\": ", checked.refusal);
        if (!checked.kernelFileSystem.empty() && m_kernelRefusal.first.empty())
            m_kernelRefusal = {checked.path, checked.kernelFileSystem};
    }
    // Files of the kernel's are no data: the user is told, and nothing of the drop is taken, as
    // a usage error on the command line takes nothing.
    if (!m_kernelRefusal.first.empty())
        return Drop::KernelFiles;
    if (paths.empty())
        return Drop::Nothing;

    // The screen asks what becomes of one volume at a time.
    const std::vector<std::string> droppedVolumes = m_plan.volumesAmong(paths);
    if ((hasVolume() && !droppedVolumes.empty()) || droppedVolumes.size() > 1)
        return Drop::OneVolumeOnly;
    if (const ShredPlan::Verdict added = m_plan.add(paths); !added.ok()) {
        logMessage("Refused the drop of \"", added.path, "\": the startup volume is never shredded");
        return Drop::StartupVolume;
    }

    logMessage("Scanning ", locations().size(), " dropped location(s)");
    // A fresh collection for the merged locations, which keeps out what was unticked before.
    scan(QtConcurrent::run([locations = locations(), excludes = m_excludes] {
        auto collection = std::make_shared<PathCollection>();
        collection->setPaths(locations);
        collection->setExcludes(excludes);
        PathCollectionFactory().updatePathCollection(*collection);
        return collection;
    }));
    if (droppedVolumes.empty())
        return Drop::Added;
    return m_plan.placeOf(droppedVolumes.front()) == ShredPlan::Place::SystemVolume ? Drop::AddedSystemVolume
                                                                                    : Drop::AddedVolume;
}

bool ShredSelection::recount(const std::shared_ptr<PathCollection>& collection)
{
    if (!collection || collection != m_pathCollection)
        return false;
    m_excludes = collection->excludes();
    scan(QtConcurrent::run([collection] {
        PathCollectionFactory().updatePathCollection(*collection);
        return collection;
    }));
    return true;
}

void ShredSelection::clear()
{
    dropScan();
    // What the removed volume set goes with it: the next selection starts as the screen did.
    m_plan.clear();
    m_excludes.clear();
    m_pathCollection.reset();
}

void ShredSelection::scan(QFuture<std::shared_ptr<PathCollection>> future)
{
    // The collection being (re)built may not be started on meanwhile; a newer scan replaces an
    // older one, whose result then reaches nobody.
    dropScan();
    m_pathCollection.reset();
    m_scan = new Scan(this);
    connect(m_scan, &Scan::finished, this, [this, watcher = m_scan] {
        m_pathCollection = watcher->result();
        m_scan = nullptr;
        watcher->deleteLater();
        emit scanFinished();
    });
    m_scan->setFuture(std::move(future));
}

void ShredSelection::dropScan()
{
    if (!m_scan)
        return;
    m_scan->disconnect(this);
    m_scan->deleteLater();
    m_scan = nullptr;
}

} // namespace cv
