#pragma once

#include <string>

namespace cv::test {

// A file system of one type made in an image file and loop-mounted on a folder for the life of
// the object (root only, and only where mkfs.<type> and the kernel module are there; check
// available() and skip otherwise). Lets tests work on a real ext4, btrfs, ... without touching
// the machine's volumes; unmount() gives the raw image to read.
class LoopMount
{
public:
    // options: mount options besides "loop" ("nodiscard"), comma-separated.
    LoopMount(const std::string& image, const std::string& mountPoint, const std::string& type,
              const std::string& size, const std::string& options = {});
    ~LoopMount();
    LoopMount(const LoopMount&) = delete;
    LoopMount& operator=(const LoopMount&) = delete;

    bool available() const { return m_mounted; }
    // Why the file system is not mounted (not root, or the step that failed and what it said);
    // empty when it is.
    const std::string& failure() const { return m_failure; }
    const std::string& path() const { return m_mountPoint; }
    const std::string& image() const { return m_image; }
    // Makes the loop device refuse discards from now on, as a disk or most USB sticks do: TRIM is
    // then not supported there. False when that cannot be set.
    bool refuseDiscards();
    // Unmounts now (the loop device frees itself); the image stays. False when the mount was busy
    // and is only detached, to go when its last user does.
    bool unmount();
    // Mounts the image again where it was, after unmount(); false when that fails.
    bool mountAgain();

private:
    // Mounts the image on the mount point once no loop device holds it any more, and checks that
    // something is mounted there; the reason it failed, or empty.
    std::string mountImage();

    std::string m_image;
    std::string m_mountPoint;
    std::string m_type;
    std::string m_options;
    bool m_mounted = false;
    std::string m_failure;
};

} // namespace cv::test
