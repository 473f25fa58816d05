#include "ReadOnlyMounts.h"

#include "TempDir.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sched.h>
#include <sstream>
#include <string>
#include <sys/mount.h>
#include <vector>

namespace cv::test {

namespace {

// The mount points of /proc/self/mountinfo (fifth field), the kernel's octal escapes decoded.
std::vector<std::string> mountPoints()
{
    std::vector<std::string> points;
    std::ifstream table("/proc/self/mountinfo");
    for (std::string line; std::getline(table, line);) {
        std::istringstream fields(line);
        std::string field;
        for (int i = 0; i < 5 && fields >> field; ++i) {
        }
        std::string point;
        for (std::size_t i = 0; i < field.size(); ++i) {
            if (field[i] == '\\' && i + 3 < field.size()) {
                point.push_back(static_cast<char>(std::stoi(field.substr(i + 1, 3), nullptr, 8)));
                i += 3;
            } else {
                point.push_back(field[i]);
            }
        }
        points.push_back(point);
    }
    return points;
}

} // namespace

bool enterReadOnlyMountNamespace(const std::function<bool()>& setUp)
{
    if (::unshare(CLONE_NEWNS) != 0) {
        std::perror("unshare(CLONE_NEWNS)");
        return false;
    }
    // Nothing mounted here may reach the machine's namespace, nor the other way round.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        std::perror("mount --make-rprivate /");
        return false;
    }
    // The namespace starts with a copy of every mount, other tests' loop volumes and tmpfs mounts
    // among them. A copy keeps its file system busy for as long as this process lives: another
    // test's unmount then leaves its loop device in use, and a reformat of it is refused. Those
    // copies are detached here; nothing of this test is mounted yet.
    const auto inherited = mountPoints();
    for (auto point = inherited.rbegin(); point != inherited.rend(); ++point) {
        if (point->find("/" + std::string(kTempDirPrefix)) != std::string::npos)
            static_cast<void>(::umount2(point->c_str(), MNT_DETACH));
    }
    if (setUp && !setUp())
        return false;
    const auto points = mountPoints();
    if (points.empty())
        return false;
    for (const std::string& point : points) {
        // A mount hidden under another one is reached by no path, by the test's program neither.
        if (::mount(nullptr, point.c_str(), nullptr, MS_REMOUNT | MS_BIND | MS_RDONLY, nullptr) != 0 &&
            errno != ENOENT) {
            std::fprintf(stderr, "remount,bind,ro %s: %s\n", point.c_str(), std::strerror(errno));
            return false;
        }
    }
    return true;
}

} // namespace cv::test
