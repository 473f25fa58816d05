#include "Unprivileged.h"

#include <cerrno>
#include <cstdio>
#include <grp.h>
#include <sys/wait.h>
#include <unistd.h>

namespace cv::test {

namespace {

int runAs(const std::function<int()>& body, unsigned savedUid)
{
    if (::geteuid() != 0)
        return body();
    std::fflush(nullptr);
    const pid_t pid = ::fork();
    if (pid < 0)
        return -1;
    if (pid == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setresgid(kNogroupGid, kNogroupGid, kNogroupGid) != 0 ||
            ::setresuid(kNobodyUid, kNobodyUid, savedUid) != 0) {
            std::perror("dropping privileges");
            ::_exit(99);
        }
        const int result = body();
        std::fflush(nullptr);
        ::_exit(result & 0xff);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

} // namespace

int runUnprivileged(const std::function<int()>& body)
{
    return runAs(body, kNobodyUid);
}

int runUnprivilegedWithRootAtHand(const std::function<int()>& body)
{
    return runAs(body, 0);
}

AsRoot::AsRoot() : m_uid(::geteuid())
{
    m_switched = m_uid != 0 && ::seteuid(0) == 0;
}

AsRoot::~AsRoot()
{
    if (m_switched && ::seteuid(m_uid) != 0)
        std::perror("giving root's rights back");
}

void giveToNobody(const std::string& path)
{
    if (::geteuid() == 0 && ::lchown(path.c_str(), kNobodyUid, kNogroupGid) != 0)
        std::perror(path.c_str());
}

} // namespace cv::test
