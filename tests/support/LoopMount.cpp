#include "LoopMount.h"

#include "ProcessRunner.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace cv::test {

namespace {

// The kernel frees a loop device after its last unmount on its own time; on a busy machine a
// mount made at once may meet the old device still bound to the image, and mount(8) has been
// seen to answer success then without mounting anything. Both conditions are therefore watched
// for, with a deadline far beyond what an idle machine needs.
constexpr auto kDeadline = std::chrono::seconds(60);
constexpr auto kPollInterval = std::chrono::milliseconds(20);

bool imageHasLoopDevice(const std::string& image)
{
    std::error_code error;
    const std::string wanted = std::filesystem::weakly_canonical(image, error).string();
    for (const auto& entry : std::filesystem::directory_iterator("/sys/block", error)) {
        std::ifstream backing(entry.path() / "loop/backing_file");
        std::string file;
        if (std::getline(backing, file) && (file == wanted || file == image))
            return true;
    }
    return false;
}

bool isMountPoint(const std::string& folder)
{
    struct stat self
    {
    }, parent{};
    return ::stat(folder.c_str(), &self) == 0 && ::stat((folder + "/..").c_str(), &parent) == 0 &&
           self.st_dev != parent.st_dev;
}

template <typename Condition> bool waitFor(Condition condition)
{
    const auto deadline = std::chrono::steady_clock::now() + kDeadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(kPollInterval);
    }
    return true;
}

} // namespace

LoopMount::LoopMount(const std::string& image, const std::string& mountPoint, const std::string& type,
                     const std::string& size, const std::string& options)
    : m_image(image), m_mountPoint(mountPoint), m_type(type), m_options(options)
{
    if (::geteuid() != 0) {
        m_failure = "mounting a loop image needs root";
        return;
    }
    const auto run = [this](const std::vector<std::string>& command) {
        const ProcessResult result = runProcess(command);
        if (result.exitCode != 0 && m_failure.empty())
            m_failure = command.front() + " failed (exit status " + std::to_string(result.exitCode) +
                        "): " + result.err + result.out;
        return result.exitCode == 0;
    };
    m_mounted = run({"truncate", "-s", size, image}) && run({"mkfs." + type, "-q", image});
    if (m_mounted) {
        m_failure = mountImage();
        m_mounted = m_failure.empty();
    }
}

bool LoopMount::mountAgain()
{
    m_mounted = mountImage().empty();
    return m_mounted;
}

std::string LoopMount::mountImage()
{
    // Only a mount on a loop device of its own: the one of an earlier mount must be gone first.
    if (!waitFor([this] { return !imageHasLoopDevice(m_image); }))
        return "the loop device of the last mount of " + m_image + " was never freed";
    const ProcessResult result =
        runProcess({"mount", "-t", m_type, "-o", m_options.empty() ? "loop" : "loop," + m_options, m_image,
                    m_mountPoint});
    if (result.exitCode != 0)
        return "mount failed (exit status " + std::to_string(result.exitCode) + "): " + result.err +
               result.out;
    if (!isMountPoint(m_mountPoint))
        return "mount reported success, but nothing is mounted on " + m_mountPoint;
    return {};
}

LoopMount::~LoopMount()
{
    unmount();
}

bool LoopMount::refuseDiscards()
{
    const ProcessResult source = runProcess({"findmnt", "-n", "-o", "SOURCE", m_mountPoint});
    const std::string device = source.out.substr(0, source.out.find('\n'));
    if (!m_mounted || source.exitCode != 0 || !device.starts_with("/dev/loop"))
        return false;
    const std::string limit = "/sys/block/" + device.substr(5) + "/queue/discard_max_bytes";
    std::ofstream(limit) << "0\n";
    std::ifstream check(limit);
    std::string value;
    return std::getline(check, value) && value == "0";
}

bool LoopMount::unmount()
{
    // A plain unmount writes everything out before the image is read; a busy mount goes lazily.
    bool unmounted = true;
    if (m_mounted && ::umount2(m_mountPoint.c_str(), 0) != 0) {
        ::umount2(m_mountPoint.c_str(), MNT_DETACH);
        unmounted = false;
    }
    m_mounted = false;
    return unmounted;
}

} // namespace cv::test
