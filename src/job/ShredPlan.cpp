#include "job/ShredPlan.h"

#include "common/Log.h"
#include "engine/Algorithm.h"
#include "engine/ShredResult.h"
#include "targets/PathCollection.h"
#include "targets/PreparedExcludes.h"

#include <algorithm>
#include <iterator>
#include <sys/stat.h>
#include <unordered_set>

namespace cv {

ShredPlan::ShredPlan(VolumeProbe volumeProbe, VolumeOption preset)
    : m_volumeProbe(std::move(volumeProbe)), m_preset(preset), m_option(preset)
{}

bool ShredPlan::allows(Place place, VolumeOption option)
{
    switch (place) {
    case Place::Path:
        return true;
    case Place::StartupVolume:
        return false;
    case Place::SystemVolume:
        return option == VolumeOption::FreeSpace;
    case Place::Volume:
        return option != VolumeOption::None;
    }
    return false;
}

ShredPlan::Place ShredPlan::placeOf(const std::string& path) const
{
    const auto asks = [&path](const std::function<bool(const std::string&)>& question) {
        return question && question(path);
    };
    if (path == "/" || asks(m_volumeProbe.isHdd))
        return Place::StartupVolume;
    if (!asks(m_volumeProbe.isVolume))
        return Place::Path;
    return asks(m_volumeProbe.isSystemVolume) ? Place::SystemVolume : Place::Volume;
}

std::vector<std::string> ShredPlan::volumesAmong(const std::vector<std::string>& paths) const
{
    std::vector<std::string> volumes;
    std::copy_if(paths.begin(), paths.end(), std::back_inserter(volumes),
                 [this](const std::string& path) { return placeOf(path) != Place::Path; });
    return volumes;
}

ShredPlan::Verdict ShredPlan::add(const std::vector<std::string>& paths)
{
    const auto startup = std::find_if(paths.begin(), paths.end(), [this](const std::string& path) {
        return placeOf(path) == Place::StartupVolume;
    });
    if (startup != paths.end())
        return {Refusal::StartupVolume, *startup};
    const std::size_t before = m_locations.size();
    m_locations = mergeLocations(m_locations, paths);
    for (auto added = m_locations.begin() + static_cast<std::ptrdiff_t>(before); added != m_locations.end();
         ++added) {
        if (placeOf(*added) != Place::Path)
            m_volumes.push_back(*added);
    }
    return {};
}

std::vector<std::string> ShredPlan::mergeLocations(const std::vector<std::string>& locations,
                                                   const std::vector<std::string>& added)
{
    if (locations.empty())
        return added;
    std::vector<std::string> merged;
    merged.reserve(locations.size() + added.size());
    std::unordered_set<std::string> seen;
    for (const auto* list : {&locations, &added}) {
        for (const std::string& path : *list) {
            if (seen.insert(path).second)
                merged.push_back(path);
        }
    }
    return merged;
}

void ShredPlan::clear()
{
    m_locations.clear();
    m_volumes.clear();
    m_option = m_preset;
    m_thenWipeFree = false;
}

bool ShredPlan::hasSystemVolume() const
{
    return std::any_of(m_volumes.begin(), m_volumes.end(),
                       [this](const std::string& volume) { return placeOf(volume) == Place::SystemVolume; });
}

bool ShredPlan::chooseOption(VolumeOption option)
{
    for (const std::string& volume : m_volumes) {
        if (!allows(placeOf(volume), option)) {
            logMessage("Refused the volume option \"", volumeOptionKey(option), "\" for the volume ", volume);
            return false;
        }
    }
    m_option = option;
    return true;
}

ShredPlan::Verdict ShredPlan::checkOption() const
{
    for (const std::string& volume : m_volumes) {
        if (m_option == VolumeOption::None)
            return {Refusal::OptionNeeded, volume};
        if (!allows(placeOf(volume), m_option))
            return {Refusal::OptionNotAllowed, volume};
    }
    return {};
}

VolumeOption ShredPlan::option() const
{
    // An option belongs to a volume: without one among the locations none is in force, and an
    // option a volume does not allow (one the screen was opened with) counts as none.
    if (!hasVolume() || !checkOption().ok())
        return VolumeOption::None;
    return m_option;
}

std::vector<TargetVolume> ShredPlan::copyOnWriteVolumes(const PathCollection* collection)
{
    std::vector<TargetVolume> volumes;
    if (collection) {
        std::copy_if(collection->volumes().begin(), collection->volumes().end(), std::back_inserter(volumes),
                     [](const TargetVolume& volume) { return volume.copyOnWrite; });
    }
    return volumes;
}

bool ShredPlan::offersThenWipeFree(const PathCollection* collection) const
{
    const VolumeOption chosen = option();
    return chosen != VolumeOption::FreeSpace && chosen != VolumeOption::CompleteErase &&
           !copyOnWriteVolumes(collection).empty();
}

bool ShredPlan::canStart(const PathCollection* collection, const Algorithm* method) const
{
    return !m_locations.empty() && collection && method && method->cycles() > 0 && checkOption().ok();
}

ShredOptions ShredPlan::shredOptions(const PathCollection* collection) const
{
    ShredOptions options{.thenWipeFree = m_thenWipeFree && offersThenWipeFree(collection),
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

void ShredPlan::noteLeftovers(ShredResult& result, const PreparedExcludes& kept)
{
    if (result.status() != ShredResult::Status::Success || !result.paths)
        return;
    const bool filesOnly = result.options && result.options->filesOnly;
    if (result.options && result.options->eraseFreeSpaceOnly)
        return;
    for (const auto& path : result.paths->paths()) {
        struct stat info;
        if (kept.contains(path) || ::lstat(path.c_str(), &info) != 0)
            continue;
        const bool folder = S_ISDIR(info.st_mode);
        if (folder && filesOnly)
            continue;
        result.addFailure(folder ? ShredItem::Kind::Folder : ShredItem::Kind::File, path,
                          "could not be deleted");
    }
}

} // namespace cv
