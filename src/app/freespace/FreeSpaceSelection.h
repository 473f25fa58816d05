#pragma once

#include "engine/ShredOptions.h"
#include "targets/PathCollection.h"
#include "targets/Volume.h"

#include <QFutureWatcher>
#include <QObject>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cv {

class Algorithm;

// What the user chose on the free-space screen, without widgets: the mounted volumes as listed
// now, the selected one, and the collection built for it. It decides whether Start may start (a
// real method, a selected volume the user can write to, and that volume's collection stored) and
// what the options record says (free space only). The collection is built on a worker; only the
// result for the volume selected now is taken, also when the list was refreshed meanwhile.
class FreeSpaceSelection : public QObject
{
    Q_OBJECT

public:
    using VolumeFinder = std::function<std::vector<Volume>()>;
    // Builds the collection of one mount point (on a worker thread).
    using Scanner = std::function<std::shared_ptr<PathCollection>(const std::string& mountPath)>;
    // Whether the user may write where the wipe of mountPath puts its fill files.
    using WriteTest = std::function<bool(const std::string& mountPath)>;

    // By default the mount table, the path collection factory and access(2) answer.
    explicit FreeSpaceSelection(VolumeFinder finder = {}, Scanner scanner = {}, WriteTest writable = {},
                                QObject* parent = nullptr);
    ~FreeSpaceSelection() override;

    const std::vector<Volume>& volumes() const { return m_volumes; }
    // The selected row, or -1.
    int selectedRow() const;
    const Volume* selectedVolume() const;
    // The collection of the selected volume; null while it is built or nothing is selected.
    const std::shared_ptr<PathCollection>& pathCollection() const { return m_pathCollection; }
    bool isScanning() const { return m_scan != nullptr; }
    // The selected volume takes fill files from this user (false with nothing selected).
    bool isWritable() const { return m_writable; }

    // Lists the volumes anew. The selection stays on the same mount point while it is listed: with
    // its collection while it is the same mount (device and mount id), else the collection is
    // built again for what is mounted there now. A volume no longer listed is deselected.
    void refresh();
    // Selects row (-1 or a row out of range: nothing) and builds its collection.
    void select(int row);
    // Whether Start may start with method.
    bool canStart(const Algorithm* method) const;
    // The options record of a free-space-only job.
    static ShredOptions shredOptions();

    // Where a wipe of mountPath writes its fill files (FillFolder): the mount point, or for the
    // startup volume the folder "Ostrevane" in home when home is on it (home itself while that
    // folder does not exist yet), ...; empty when the volume has no folder this user may write.
    static std::string fillFolderFor(const std::string& mountPath, bool startupVolume,
                                     const std::string& home);

signals:
    // The volume list was read anew.
    void volumesChanged();
    // The selected volume's collection is stored.
    void scanFinished();

private:
    using Scan = QFutureWatcher<std::shared_ptr<PathCollection>>;
    void dropScan();

    VolumeFinder m_finder;
    Scanner m_scanner;
    WriteTest m_writeTest;
    std::vector<Volume> m_volumes;
    std::string m_selectedPath; // empty: nothing selected
    bool m_writable = false;
    std::shared_ptr<PathCollection> m_pathCollection;
    Scan* m_scan = nullptr;
};

} // namespace cv
