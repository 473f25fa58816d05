#pragma once

#include <string>

namespace cv::test {

// A tmpfs of a given size mounted on a fresh folder for the life of the object (root only; check
// available() and skip otherwise). Lets tests fill a real file system without touching the machine's.
class TmpfsMount
{
public:
    explicit TmpfsMount(const std::string& mountPoint, const std::string& size);
    ~TmpfsMount();
    TmpfsMount(const TmpfsMount&) = delete;
    TmpfsMount& operator=(const TmpfsMount&) = delete;

    bool available() const { return m_mounted; }
    const std::string& path() const { return m_mountPoint; }

private:
    std::string m_mountPoint;
    bool m_mounted = false;
};

} // namespace cv::test
