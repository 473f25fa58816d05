#pragma once

#include "helper/HelperError.h"
#include "helper/WatchedMountTable.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace cv {

// The system's own folders (/etc, /usr, /boot, /var/lib): what lies in them is the system's, never
// a user's selection, so the helper hands out no file of theirs for writing. Whether a file lies in
// one is decided on the file's descriptor, whatever path named it: on the path the kernel gives
// the opened file, and on where the file lies inside its file system, so that a bind mount of a
// system folder elsewhere (or of its file system's root) names its files no differently.
//
// The mount table that maps a descriptor to its place is read once and again whenever the kernel
// reports a mount, unmount or move since (WatchedMountTable), and whenever a place cannot be found
// in the table as last read; the system folders are placed once per table, and each check makes
// sure, folder by folder on their paths, that they are still the folders placed. A job's
// thousand files cost one reading of the table, not a thousand.
class SystemFolders
{
public:
    // The folders of a real system.
    static std::vector<std::string> defaults();

    // The test build of the helper names folders of its own instead.
    explicit SystemFolders(std::vector<std::string> folders = defaults());

    // Refuses the file open as fd (shown as path in the reason) when it lies in one of the folders,
    // or when where it lies cannot be told. Safe to call from any thread.
    HelperResult refuseInside(int fd, const std::string& path) const;

    const std::vector<std::string>& folders() const { return m_folders; }

    // A folder on the path of a system folder, as it was when the folder was placed.
    struct ComponentId
    {
        dev_t device = 0;
        ino_t inode = 0;
        std::uint64_t mount = 0;
        bool operator==(const ComponentId&) const = default;
    };

private:
    using Mounts = WatchedMountTable::Mounts;
    // Where a system folder lies in its file system, if it exists, and how to tell that it still
    // does: the device, inode and mount of each folder on its path (none when a link is on it).
    struct FolderPlace
    {
        bool exists = false;
        dev_t device = 0;
        std::string path;
        std::vector<ComponentId> components;
    };
    // The places of every folder, as one mount table tells them.
    struct Places
    {
        std::shared_ptr<const Mounts> mounts;
        std::vector<FolderPlace> folders;
    };
    // The decision by the places of the file (whose path is real) and of the folders in the file
    // systems, as the mounts tell them; placed is false when one of them was not found there.
    struct Decision
    {
        HelperResult result;
        bool placed = true;
    };
    Decision refuseByPlace(int fd, const std::string& real, const std::string& path,
                           const std::shared_ptr<const Mounts>& mounts) const;
    // The places of the folders by this table, worked out once per table; nothing when a folder
    // cannot be placed by it.
    std::shared_ptr<const Places> placesFor(const std::shared_ptr<const Mounts>& mounts) const;
    // Where folder lies now; nothing when it exists but cannot be placed by the mounts.
    static std::optional<FolderPlace> placeFolder(const std::string& folder, const Mounts& mounts);
    // Whether the folder's path still leads where it did when it was placed.
    static bool stillThere(const std::string& folder, const FolderPlace& place);
    // The device, inode and mount of each folder on the path of folder (an absolute path), links
    // not followed; none when one cannot be examined.
    static std::vector<ComponentId> componentsOf(const std::string& folder);

    std::vector<std::string> m_folders;
    mutable WatchedMountTable m_mounts;
    mutable std::mutex m_placesMutex;
    mutable std::shared_ptr<const Places> m_places;
};

} // namespace cv
