#include "TmpfsMount.h"

#include <sys/mount.h>
#include <unistd.h>

namespace cv::test {

TmpfsMount::TmpfsMount(const std::string& mountPoint, const std::string& size) : m_mountPoint(mountPoint)
{
    if (::geteuid() != 0)
        return;
    const std::string options = "size=" + size + ",mode=0755";
    m_mounted = ::mount("cindervault-test", m_mountPoint.c_str(), "tmpfs", MS_NOSUID | MS_NODEV,
                        options.c_str()) == 0;
}

TmpfsMount::~TmpfsMount()
{
    if (m_mounted)
        ::umount2(m_mountPoint.c_str(), MNT_DETACH);
}

} // namespace cv::test
