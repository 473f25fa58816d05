#pragma once

#include "engine/ShredOptions.h"
#include "job/VolumeOption.h"
#include "targets/VolumeProbe.h"

#include <string>
#include <vector>

namespace cv {

class Algorithm;
class PathCollection;
class PreparedExcludes;
struct ShredResult;
struct TargetVolume;

// What a shred job is asked to do, as the window's shred screen and the command line's shred
// command both decide it: the locations in the order they came, the volumes among them and what
// becomes of them (the volume option), whether the free space of copy-on-write volumes is wiped
// after the deletion, whether a job may start, the options record it is made with, and what its
// result must say about targets that are still there afterwards. The rules live here once; the
// screen adds its scans and questions, the command line its arguments and texts.
class ShredPlan
{
public:
    // What a location is to the volume rules.
    enum class Place
    {
        Path,          // a file or folder, or a volume seen through a folder of it
        StartupVolume, // "/" itself, or the file system mounted at "/" under another mount point
        SystemVolume,  // a volume the system runs from (/boot, /usr, /var, /home, ...)
        Volume,        // the mount point of any other volume
    };
    // Why locations or their volume option cannot be taken.
    enum class Refusal
    {
        None,
        StartupVolume,    // the startup volume is never shredded, whatever the option
        OptionNeeded,     // a volume is among the locations and no option says what becomes of it
        OptionNotAllowed, // the option is not one the volume allows (of a system volume, only free space)
    };
    struct Verdict
    {
        Refusal refusal = Refusal::None;
        std::string path; // the location refused
        bool ok() const { return refusal == Refusal::None; }
    };

    // preset: the option chosen before any location came (the screen's record, the command line's
    // --volume); it also becomes the options record's key.
    explicit ShredPlan(VolumeProbe volumeProbe, VolumeOption preset = VolumeOption::None);

    // The rule itself: which options a place allows. A plain path needs none; of a volume the
    // system runs from only the free space is wiped; the startup volume allows nothing.
    static bool allows(Place place, VolumeOption option);
    Place placeOf(const std::string& path) const;
    // The volumes among paths (any place but Path), in their order.
    std::vector<std::string> volumesAmong(const std::vector<std::string>& paths) const;

    // Takes checked absolute locations after the ones already there (mergeLocations). Nothing is
    // taken when one of them is the startup volume.
    Verdict add(const std::vector<std::string>& paths);
    // The old locations followed by the new ones, each path once (first occurrence wins); the first
    // locations are taken as they came.
    static std::vector<std::string> mergeLocations(const std::vector<std::string>& locations,
                                                   const std::vector<std::string>& added);
    // Forgets the locations; the option returns to the preset, the free-space wipe afterwards to off.
    void clear();
    const std::vector<std::string>& locations() const { return m_locations; }
    const std::vector<std::string>& volumes() const { return m_volumes; }
    bool hasVolume() const { return !m_volumes.empty(); }
    // A volume the system runs from is among the locations: its files are never deleted.
    bool hasSystemVolume() const;

    // Chooses what becomes of the volumes; false (and nothing changes) for an option one of them
    // does not allow.
    bool chooseOption(VolumeOption option);
    // The option in force: none without a volume among the locations, nor when a volume does not
    // allow the chosen one; else the chosen one.
    VolumeOption option() const;
    // Whether every volume among the locations has an option it allows; the first one that has
    // not, and why.
    Verdict checkOption() const;

    // The volumes of the collection whose file systems keep earlier copies of a file elsewhere
    // (copy-on-write, log-structured): overwriting in place cannot reach those copies.
    static std::vector<TargetVolume> copyOnWriteVolumes(const PathCollection* collection);
    // Whether a free-space wipe after the deletion would do anything: there are such volumes, and
    // the job deletes files (a free-space wipe alone or a complete erase reaches the free space anyway).
    bool offersThenWipeFree(const PathCollection* collection) const;
    bool thenWipeFree() const { return m_thenWipeFree; }
    void setThenWipeFree(bool wipe) { m_thenWipeFree = wipe; }

    // Whether a job may start with the scanned collection and method: locations, their collection,
    // a real method (one with passes), and an allowed option for every volume among them.
    bool canStart(const PathCollection* collection, const Algorithm* method) const;
    // The options record a job gets: its volume flags follow option(), its key is the preset, and
    // the wipe afterwards is asked only where it does something.
    ShredOptions shredOptions(const PathCollection* collection) const;

    // After a successful job: a target that should be gone and is still there, though no error of
    // the job says why, is an error of its own, so that the result never claims a deletion the
    // disk does not show. kept: what the job left in place on purpose (excludes, mount points).
    // A free-space wipe deletes nothing, and a job of files only leaves folders in place.
    static void noteLeftovers(ShredResult& result, const PreparedExcludes& kept);

private:
    VolumeProbe m_volumeProbe;
    VolumeOption m_preset;
    VolumeOption m_option;
    bool m_thenWipeFree = false;
    std::vector<std::string> m_locations;
    std::vector<std::string> m_volumes; // the locations that are volumes
};

} // namespace cv
