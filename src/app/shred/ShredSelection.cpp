#include "app/shred/ShredSelection.h"

#include "common/Log.h"
#include "engine/Algorithm.h"
#include "targets/PathCollectionFactory.h"
#include "targets/PathOperand.h"

#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <iterator>
#include <unordered_set>

namespace cv {

ShredSelection::ShredSelection(VolumeProbe volumeProbe, VolumeOption preset, QObject* parent)
    : QObject(parent), m_volumeProbe(std::move(volumeProbe)), m_preset(preset), m_option(preset)
{}

ShredSelection::~ShredSelection() = default;

bool ShredSelection::isSystemVolume(const std::string& path) const
{
    return m_volumeProbe.isSystemVolume && m_volumeProbe.isSystemVolume(path);
}

VolumeFacts ShredSelection::volumeFacts() const
{
    if (m_volumes.empty())
        return {};
    const std::string& volume = m_volumes.front();
    if (m_volumeProbe.describe)
        return m_volumeProbe.describe(volume);
    VolumeFacts facts;
    facts.mountPoint = volume;
    return facts;
}

bool ShredSelection::hasSystemVolume() const
{
    return std::any_of(m_volumes.begin(), m_volumes.end(),
                       [this](const std::string& volume) { return isSystemVolume(volume); });
}

VolumeOption ShredSelection::option() const
{
    // An option belongs to a volume: without one among the locations none is in force.
    if (!hasVolume())
        return VolumeOption::None;
    // Of a volume the system runs from only the free space is wiped: another option (one the
    // screen was opened with) counts as none, and Start waits for the free-space wipe.
    if (hasSystemVolume() && m_option != VolumeOption::FreeSpace)
        return VolumeOption::None;
    return m_option;
}

bool ShredSelection::chooseOption(VolumeOption option)
{
    if (hasSystemVolume() && option != VolumeOption::FreeSpace) {
        logMessage("Refused the volume option ", volumeOptionKey(option),
                   " for a volume the system runs from");
        return false;
    }
    m_option = option;
    return true;
}

std::vector<TargetVolume> ShredSelection::copyOnWriteVolumes() const
{
    std::vector<TargetVolume> volumes;
    if (m_pathCollection) {
        std::copy_if(m_pathCollection->volumes().begin(), m_pathCollection->volumes().end(),
                     std::back_inserter(volumes),
                     [](const TargetVolume& volume) { return volume.copyOnWrite; });
    }
    return volumes;
}

bool ShredSelection::offersThenWipeFree() const
{
    const VolumeOption chosen = option();
    return chosen != VolumeOption::FreeSpace && chosen != VolumeOption::CompleteErase &&
           !copyOnWriteVolumes().empty();
}

ShredOptions ShredSelection::shredOptions() const
{
    ShredOptions options{.thenWipeFree = m_thenWipeFree && offersThenWipeFree(),
                         .optionKey = volumeOptionKey(m_preset)};
    if (!hasVolume())
        return options;
    options.hasVolumes = true;
    switch (option()) {
    case VolumeOption::FreeSpace:
        options.eraseFreeSpaceOnly = true;
        break;
    case VolumeOption::CompleteErase:
        options.eraseFreeSpace = true;
        options.formatVolume = true;
        break;
    case VolumeOption::DeleteFiles:
    case VolumeOption::None:
        break;
    }
    return options;
}

bool ShredSelection::canStart(const Algorithm* method) const
{
    return hasLocations() && m_pathCollection && !isScanning() && method && method->cycles() > 0 &&
           (!hasSystemVolume() || option() == VolumeOption::FreeSpace);
}

std::vector<std::string> ShredSelection::mergeLocations(const std::vector<std::string>& locations,
                                                        const std::vector<std::string>& dropped)
{
    if (locations.empty())
        return dropped;
    std::vector<std::string> merged;
    merged.reserve(locations.size() + dropped.size());
    std::unordered_set<std::string> seen;
    for (const auto* list : {&locations, &dropped}) {
        for (const std::string& path : *list) {
            if (seen.insert(path).second)
                merged.push_back(path);
        }
    }
    return merged;
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

    std::vector<std::string> droppedVolumes;
    std::copy_if(paths.begin(), paths.end(), std::back_inserter(droppedVolumes), m_volumeProbe.isVolume);
    if ((hasVolume() && !droppedVolumes.empty()) || droppedVolumes.size() > 1)
        return Drop::OneVolumeOnly;
    if (std::any_of(paths.begin(), paths.end(), m_volumeProbe.isHdd))
        return Drop::StartupVolume;

    m_locations = mergeLocations(m_locations, paths);
    m_volumes.insert(m_volumes.end(), droppedVolumes.begin(), droppedVolumes.end());
    logMessage("Scanning ", m_locations.size(), " dropped location(s)");
    // A fresh collection for the merged locations, which keeps out what was unticked before.
    scan(QtConcurrent::run([locations = m_locations, excludes = m_excludes] {
        auto collection = std::make_shared<PathCollection>();
        collection->setPaths(locations);
        collection->setExcludes(excludes);
        PathCollectionFactory().updatePathCollection(*collection);
        return collection;
    }));
    if (droppedVolumes.empty())
        return Drop::Added;
    return isSystemVolume(droppedVolumes.front()) ? Drop::AddedSystemVolume : Drop::AddedVolume;
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
    m_locations.clear();
    m_volumes.clear();
    m_excludes.clear();
    // What the removed volume set goes with it: the next selection starts as the screen did.
    m_option = m_preset;
    m_thenWipeFree = false;
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
