#include "LoopMount.h"

#include "ProcessRunner.h"

#include <fstream>
#include <string>
#include <sys/mount.h>
#include <unistd.h>

namespace cv::test {

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
    m_mounted =
        run({"truncate", "-s", size, image}) && run({"mkfs." + type, "-q", image}) &&
        run({"mount", "-t", type, "-o", options.empty() ? "loop" : "loop," + options, image, mountPoint});
}

bool LoopMount::mountAgain()
{
    m_mounted = runProcess({"mount", "-t", m_type, "-o", m_options.empty() ? "loop" : "loop," + m_options,
                            m_image, m_mountPoint})
                    .exitCode == 0;
    return m_mounted;
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
