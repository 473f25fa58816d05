#include "app/freespace/FreeSpaceSelection.h"

#include "common/Log.h"
#include "engine/Algorithm.h"
#include "freespace/FillFolder.h"
#include "job/JobEnvironment.h"
#include "targets/PathCollectionFactory.h"
#include "targets/VolumeProbe.h"

#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace cv {

FreeSpaceSelection::FreeSpaceSelection(VolumeFinder finder, Scanner scanner, WriteTest writable,
                                       QObject* parent)
    : QObject(parent), m_finder(std::move(finder)), m_scanner(std::move(scanner)),
      m_writeTest(std::move(writable))
{
    if (!m_finder)
        m_finder = [] { return findVolumes(); };
    if (!m_scanner)
        m_scanner = [](const std::string& mountPath) {
            return std::shared_ptr<PathCollection>(PathCollectionFactory().createPathCollection({mountPath}));
        };
    if (!m_writeTest)
        m_writeTest = [](const std::string& mountPath) {
            // The home folder the window's jobs are given (AppServices::jobEnvironment).
            const std::string home = JobEnvironment::userHomeFolder();
            const std::string folder = fillFolderFor(mountPath, VolumeProbe::system().isHdd(mountPath), home);
            // access() also says "read-only file system" for root, who may write anything else.
            return !folder.empty() && ::access(folder.c_str(), W_OK | X_OK) == 0;
        };
}

FreeSpaceSelection::~FreeSpaceSelection() = default;

std::string FreeSpaceSelection::fillFolderFor(const std::string& mountPath, bool startupVolume,
                                              const std::string& home)
{
    // The wipe's own choice, made without making anything: the folder it would make when it starts
    // is stood for by the home folder until then.
    auto folder = FillFolder::choose(mountPath, startupVolume, home, false);
    if (!folder)
        logMessage("No fill folder for ", mountPath, ": ", folder.error());
    return folder ? folder->path : std::string();
}

int FreeSpaceSelection::selectedRow() const
{
    if (m_selectedPath.empty())
        return -1;
    const auto found = std::find_if(m_volumes.begin(), m_volumes.end(),
                                    [this](const Volume& volume) { return volume.path() == m_selectedPath; });
    return found == m_volumes.end() ? -1 : static_cast<int>(found - m_volumes.begin());
}

const Volume* FreeSpaceSelection::selectedVolume() const
{
    const int row = selectedRow();
    return row < 0 ? nullptr : &m_volumes[static_cast<std::size_t>(row)];
}

void FreeSpaceSelection::refresh()
{
    const Volume* before = selectedVolume();
    const std::optional<Volume> selected = before ? std::optional<Volume>(*before) : std::nullopt;
    m_volumes = m_finder();
    const int row = selectedRow();
    // A mount elsewhere leaves the selected volume, its collection and a confirmation about it as
    // they are; another file system mounted at its point (or none) is another selection.
    const Volume* now = selectedVolume();
    if (selected && now && now->isSameMountAs(*selected))
        m_writable = m_writeTest(m_selectedPath); // a remount may have made it read-only, or writable
    else
        select(row); // the same mount point again, or nothing when it is gone
    emit volumesChanged();
}

void FreeSpaceSelection::select(int row)
{
    dropScan();
    m_pathCollection.reset();
    m_writable = false;
    if (row < 0 || row >= static_cast<int>(m_volumes.size())) {
        m_selectedPath.clear();
        return;
    }
    m_selectedPath = m_volumes[static_cast<std::size_t>(row)].path();
    m_writable = m_writeTest(m_selectedPath);
    if (!m_writable)
        logMessage("Cannot write to ", m_selectedPath, ": its free space cannot be wiped by this user");
    m_scan = new Scan(this);
    connect(m_scan, &Scan::finished, this, [this, watcher = m_scan, path = m_selectedPath] {
        m_scan = nullptr;
        watcher->deleteLater();
        auto collection = watcher->result();
        // A collection is the selected volume's only when its one path is that volume's.
        if (path != m_selectedPath || !collection || collection->paths() != std::vector<std::string>{path})
            return;
        m_pathCollection = std::move(collection);
        emit scanFinished();
    });
    m_scan->setFuture(
        QtConcurrent::run([scanner = m_scanner, path = m_selectedPath] { return scanner(path); }));
}

bool FreeSpaceSelection::canStart(const Algorithm* method) const
{
    const Volume* volume = selectedVolume();
    return volume && method && method->identifier() != 0 && method->cycles() > 0 && m_writable &&
           m_pathCollection && !isScanning() &&
           m_pathCollection->paths() == std::vector<std::string>{volume->path()};
}

ShredOptions FreeSpaceSelection::shredOptions()
{
    ShredOptions options;
    options.hasVolumes = true;
    options.eraseFreeSpaceOnly = true;
    options.optionKey = "freespace";
    return options;
}

void FreeSpaceSelection::dropScan()
{
    if (!m_scan)
        return;
    m_scan->disconnect(this);
    m_scan->deleteLater();
    m_scan = nullptr;
}

} // namespace cv
