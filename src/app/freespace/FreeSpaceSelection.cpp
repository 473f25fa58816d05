#include "app/freespace/FreeSpaceSelection.h"

#include "common/Log.h"
#include "engine/Algorithm.h"
#include "job/JobEnvironment.h"
#include "targets/PathCollectionFactory.h"

#include <QtConcurrent/QtConcurrentRun>

#include <algorithm>
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
            // access() also says "read-only file system" for root, who may write anything else.
            return ::access(fillFolderFor(mountPath, home).c_str(), W_OK | X_OK) == 0;
        };
}

FreeSpaceSelection::~FreeSpaceSelection() = default;

std::string FreeSpaceSelection::fillFolderFor(const std::string& mountPath, const std::string& home)
{
    if (mountPath != "/")
        return mountPath;
    // The wipe makes the folder when it starts; until then the home folder decides.
    const std::string folder = (home.empty() || home == "/" ? std::string() : home) + "/Ostrevane";
    struct stat info;
    return ::stat(folder.c_str(), &info) == 0 ? folder : (home.empty() ? "/" : home);
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
    m_volumes = m_finder();
    const int row = selectedRow();
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
