#pragma once

#include "engine/ShredOptions.h"
#include "job/ShredPlan.h"
#include "job/VolumeOption.h"
#include "targets/PathCollection.h"
#include "targets/VolumeProbe.h"

#include <QFutureWatcher>
#include <QObject>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace cv {

class Algorithm;

// What the user chose on the shred screen, without widgets: the locations in the order they came,
// the volume among them (one at most) and what to do with it, what was unticked in the explorer,
// and the scanned collection. The rules of locations, volumes and their options are the shred
// plan's, which the command line follows too; this adds the screen's own: which paths a drop may
// bring, one volume at a time, and the scans. Scans run on a worker; only the newest one's result
// is taken (an older scan's watcher is dropped with its result).
class ShredSelection : public QObject
{
    Q_OBJECT

public:
    // What became of a drop.
    enum class Drop
    {
        Nothing,           // no path of it could be taken
        OneVolumeOnly,     // refused: it would leave more than one volume among the locations
        StartupVolume,     // refused: it holds the startup volume
        KernelFiles,       // refused: it holds a path on a file system of the kernel's (kernelRefusal())
        Added,             // merged; its scan runs
        AddedVolume,       // merged with a volume, whose option is to be asked; its scan runs
        AddedSystemVolume, // likewise, for a volume the system runs from: only its free space
    };

    // preset: the option the screen was opened with; it also becomes the record's key.
    explicit ShredSelection(VolumeProbe volumeProbe, VolumeOption preset = VolumeOption::None,
                            QObject* parent = nullptr);
    ~ShredSelection() override;

    const std::vector<std::string>& locations() const { return m_plan.locations(); }
    bool hasLocations() const { return !m_plan.locations().empty(); }
    bool hasVolume() const { return m_plan.hasVolume(); }
    // A volume the system runs from is among the locations: its files are never deleted.
    bool hasSystemVolume() const { return m_plan.hasSystemVolume(); }
    // What the volume among the locations is (label, mount point, device, file system, size), so
    // that the user can tell which one a job empties or reformats; empty without a volume.
    VolumeFacts volumeFacts() const;
    // The scanned collection; null while a scan runs or nothing is listed.
    const std::shared_ptr<PathCollection>& pathCollection() const { return m_pathCollection; }
    bool isScanning() const { return m_scan != nullptr; }
    // After a drop refused as KernelFiles: the first such path and its file system ("proc").
    const std::pair<std::string, std::string>& kernelRefusal() const { return m_kernelRefusal; }

    // The option in force (ShredPlan::option()): of a volume the system runs from only the
    // free-space wipe counts; another preset option counts as none.
    VolumeOption option() const { return m_plan.option(); }
    // The copy-on-write volumes of the scanned collection (ShredPlan::copyOnWriteVolumes()).
    std::vector<TargetVolume> copyOnWriteVolumes() const;
    // Whether the screen offers to wipe the free space of those volumes after the deletion.
    bool offersThenWipeFree() const { return m_plan.offersThenWipeFree(m_pathCollection.get()); }
    bool thenWipeFree() const { return m_plan.thenWipeFree(); }
    void setThenWipeFree(bool wipe) { m_plan.setThenWipeFree(wipe); }

    // Sets the volume sheet's answer; false (and nothing changes) for an option the volume does not allow.
    bool chooseOption(VolumeOption option) { return m_plan.chooseOption(option); }
    // The options record a job gets: its volume flags follow option(), its key is the preset.
    ShredOptions shredOptions() const { return m_plan.shredOptions(m_pathCollection.get()); }

    // Takes dropped, opened or sent paths (each checked first); see Drop.
    Drop drop(const std::vector<std::string>& paths);
    // Forgets everything, a running scan included; the volume option returns to the preset.
    void clear();
    // The explorer closed with collection: what it unticked stays out of this and every later
    // scan, and the collection is recounted. A collection other than the current one (a drop
    // replaced it meanwhile) is stale and changes nothing; false then.
    bool recount(const std::shared_ptr<PathCollection>& collection);
    // Whether Start may start a job with method: no scan running, and what the plan asks
    // (ShredPlan::canStart()).
    bool canStart(const Algorithm* method) const;

signals:
    // The newest scan's collection is stored.
    void scanFinished();

private:
    using Scan = QFutureWatcher<std::shared_ptr<PathCollection>>;
    void scan(QFuture<std::shared_ptr<PathCollection>> future);
    void dropScan();

    VolumeProbe m_volumeProbe;
    ShredPlan m_plan; // the locations, the volume among them (one at most) and its option
    std::pair<std::string, std::string> m_kernelRefusal; // path and file system, see kernelRefusal()
    // What the user unticked in the explorer: every later scan of the selection keeps it out.
    std::vector<std::string> m_excludes;
    std::shared_ptr<PathCollection> m_pathCollection;
    Scan* m_scan = nullptr; // the scan whose result is waited for
};

} // namespace cv
