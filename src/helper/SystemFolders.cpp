#include "helper/SystemFolders.h"

#include "common/MountTable.h"
#include "common/UniqueFd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace cv {

namespace {

// path is folder or lies below it (both absolute, without trailing slashes but "/").
bool isWithin(const std::string& path, const std::string& folder)
{
    if (folder == "/")
        return true;
    return path.compare(0, folder.size(), folder) == 0 &&
           (path.size() == folder.size() || path[folder.size()] == '/');
}

// The path the kernel gives the open descriptor fd: the way it was reached, without links.
std::optional<std::string> pathOf(int fd)
{
    std::string path(4096, '\0');
    const ssize_t length =
        ::readlink(("/proc/self/fd/" + std::to_string(fd)).c_str(), path.data(), path.size());
    if (length <= 0 || static_cast<std::size_t>(length) >= path.size() || path.front() != '/')
        return std::nullopt;
    path.resize(static_cast<std::size_t>(length));
    return path;
}

// Where an open descriptor lies inside its file system: its device and its path from the file
// system's root, the same however it is mounted.
struct PlaceInFileSystem
{
    dev_t device = 0;
    std::string path;
};

// The place of fd, whose path the kernel gives as real (pathOf).
std::optional<PlaceInFileSystem> placeOf(int fd, const std::string& real,
                                         const std::vector<MountEntry>& mounts)
{
    struct statx info = {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_MNT_ID, &info) != 0 || !(info.stx_mask & STATX_MNT_ID))
        return std::nullopt;
    for (const MountEntry& mount : mounts) {
        if (mount.mountId != info.stx_mnt_id || !isWithin(real, mount.mountPoint))
            continue;
        const std::string below = mount.mountPoint == "/" ? real : real.substr(mount.mountPoint.size());
        std::string inside = mount.root == "/" ? below : mount.root + below;
        if (inside.empty())
            inside = "/";
        return PlaceInFileSystem{mount.device, inside};
    }
    return std::nullopt;
}

Unexpected<HelperError> refusal(const std::string& path, const std::string& folder)
{
    return HelperError::invalidArgument("Refusing to hand out " + path + " for writing: it lies in " +
                                        folder + ", a folder of the system's own");
}

// The device, inode and mount that path itself (a link not followed) has now.
std::optional<SystemFolders::ComponentId> componentOf(const std::string& path)
{
    struct statx info = {};
    if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT, STATX_INO | STATX_MNT_ID,
                &info) != 0 ||
        !(info.stx_mask & STATX_MNT_ID))
        return std::nullopt;
    return SystemFolders::ComponentId{makedev(info.stx_dev_major, info.stx_dev_minor), info.stx_ino,
                                      info.stx_mnt_id};
}

} // namespace

std::vector<std::string> SystemFolders::defaults()
{
    return {"/etc", "/usr", "/boot", "/var/lib"};
}

SystemFolders::SystemFolders(std::vector<std::string> folders) : m_folders(std::move(folders)) {}

HelperResult SystemFolders::refuseInside(int fd, const std::string& path) const
{
    const auto real = pathOf(fd);
    if (!real)
        return HelperError::invalidArgument("Refusing to hand out " + path +
                                            " for writing: where it lies cannot be told");
    for (const std::string& folder : m_folders) {
        if (isWithin(*real, folder))
            return refusal(path, folder);
    }
    auto mounts = m_mounts.current();
    if (!mounts)
        return HelperError::failed("Cannot tell where " + path + " lies: " + mounts.error());
    Decision decision = refuseByPlace(fd, *real, path, *mounts);
    if (decision.placed)
        return decision.result;
    // A mount point renamed with a folder above it since the table was read is not where the table
    // says: what cannot be placed is placed again with the table as it is now.
    mounts = m_mounts.current(true);
    if (!mounts)
        return HelperError::failed("Cannot tell where " + path + " lies: " + mounts.error());
    return refuseByPlace(fd, *real, path, *mounts).result;
}

SystemFolders::Decision SystemFolders::refuseByPlace(int fd, const std::string& real, const std::string& path,
                                                     const std::shared_ptr<const Mounts>& mounts) const
{
    const auto place = placeOf(fd, real, *mounts);
    if (!place)
        return {HelperError::invalidArgument("Refusing to hand out " + path +
                                             " for writing: where it lies in its file system cannot be told"),
                false};
    const auto known = placesFor(mounts);
    for (std::size_t i = 0; i < m_folders.size(); ++i) {
        const std::string& folder = m_folders[i];
        std::optional<FolderPlace> now;
        const FolderPlace* system = known ? &known->folders[i] : nullptr;
        if (!system || !stillThere(folder, *system)) {
            now = placeFolder(folder, *mounts);
            system = now ? &*now : nullptr;
        }
        if (!system)
            return {HelperError::failed("Cannot tell where the system folder " + folder + " lies"), false};
        if (system->exists && system->device == place->device && isWithin(place->path, system->path))
            return {refusal(path, folder), true};
    }
    return {};
}

std::shared_ptr<const SystemFolders::Places>
SystemFolders::placesFor(const std::shared_ptr<const Mounts>& mounts) const
{
    const std::lock_guard lock(m_placesMutex);
    if (m_places && m_places->mounts == mounts)
        return m_places;
    auto places = std::make_shared<Places>();
    places->mounts = mounts;
    for (const std::string& folder : m_folders) {
        auto place = placeFolder(folder, *mounts);
        if (!place)
            return nullptr; // placed on each call, until the table is read again
        places->folders.push_back(std::move(*place));
    }
    m_places = std::move(places);
    return m_places;
}

std::optional<SystemFolders::FolderPlace> SystemFolders::placeFolder(const std::string& folder,
                                                                     const Mounts& mounts)
{
    // The folders on its path before and after it is placed: only a place that nothing changed
    // under meanwhile is kept for later calls.
    const auto before = componentsOf(folder);
    FolderPlace result;
    UniqueFd opened(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!opened)
        return result; // a system without that folder has nothing in it
    const auto real = pathOf(opened.get());
    const auto place = real ? placeOf(opened.get(), *real, mounts) : std::nullopt;
    if (!place)
        return std::nullopt;
    result.exists = true;
    result.device = place->device;
    result.path = place->path;
    // Kept only for a folder reached without a link: then the device, inode and mount of each
    // folder on its path tell that it is still where it was.
    if (*real == folder && componentsOf(folder) == before)
        result.components = before;
    return result;
}

std::vector<SystemFolders::ComponentId> SystemFolders::componentsOf(const std::string& folder)
{
    std::vector<ComponentId> components;
    for (std::size_t slash = folder.find('/', 1);; slash = folder.find('/', slash + 1)) {
        const auto id = componentOf(folder.substr(0, slash));
        if (!id)
            return {};
        components.push_back(*id);
        if (slash == std::string::npos)
            return components;
    }
}

bool SystemFolders::stillThere(const std::string& folder, const FolderPlace& place)
{
    if (!place.exists) {
        struct stat info;
        return ::stat(folder.c_str(), &info) != 0 || !S_ISDIR(info.st_mode);
    }
    return !place.components.empty() && componentsOf(folder) == place.components;
}

} // namespace cv
