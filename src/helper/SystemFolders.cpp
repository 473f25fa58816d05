#include "helper/SystemFolders.h"

#include "common/MountTable.h"
#include "common/UniqueFd.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
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

// Where the open descriptor fd lies inside its file system: its device and its path from the file
// system's root, the same however it is mounted.
struct PlaceInFileSystem
{
    dev_t device = 0;
    std::string path;
};

std::optional<PlaceInFileSystem> placeOf(int fd, const std::vector<MountEntry>& mounts)
{
    const auto path = pathOf(fd);
    struct statx info = {};
    if (!path || ::statx(fd, "", AT_EMPTY_PATH, STATX_MNT_ID, &info) != 0 || !(info.stx_mask & STATX_MNT_ID))
        return std::nullopt;
    for (const MountEntry& mount : mounts) {
        if (mount.mountId != info.stx_mnt_id || !isWithin(*path, mount.mountPoint))
            continue;
        const std::string below = mount.mountPoint == "/" ? *path : path->substr(mount.mountPoint.size());
        std::string inside = mount.root == "/" ? below : mount.root + below;
        if (inside.empty())
            inside = "/";
        return PlaceInFileSystem{mount.device, inside};
    }
    return std::nullopt;
}

} // namespace

std::vector<std::string> SystemFolders::defaults()
{
    return {"/etc", "/usr", "/boot", "/var/lib"};
}

SystemFolders::SystemFolders(std::vector<std::string> folders) : m_folders(std::move(folders)) {}

HelperResult SystemFolders::refuseInside(int fd, const std::string& path) const
{
    const auto refusal = [&](const std::string& folder) {
        return HelperError::invalidArgument("Refusing to hand out " + path + " for writing: it lies in " +
                                            folder + ", a folder of the system's own");
    };
    const auto real = pathOf(fd);
    if (!real)
        return HelperError::invalidArgument("Refusing to hand out " + path +
                                            " for writing: where it lies cannot be told");
    for (const std::string& folder : m_folders) {
        if (isWithin(*real, folder))
            return refusal(folder);
    }
    const auto mounts = MountTable::readCurrent();
    if (!mounts)
        return HelperError::failed("Cannot tell where " + path + " lies: " + mounts.error());
    const auto place = placeOf(fd, *mounts);
    if (!place)
        return HelperError::invalidArgument("Refusing to hand out " + path +
                                            " for writing: where it lies in its file system cannot be told");
    for (const std::string& folder : m_folders) {
        UniqueFd opened(::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!opened)
            continue; // a system without that folder has nothing in it
        const auto system = placeOf(opened.get(), *mounts);
        if (!system)
            return HelperError::failed("Cannot tell where the system folder " + folder + " lies");
        if (system->device == place->device && isWithin(place->path, system->path))
            return refusal(folder);
    }
    return {};
}

} // namespace cv
