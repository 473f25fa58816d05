#pragma once

#include <functional>
#include <string>

namespace cv::test {

// The user and group "nobody"/"nogroup" that permission tests run their subject as.
constexpr unsigned kNobodyUid = 65534;
constexpr unsigned kNogroupGid = 65534;

// Runs body as an unprivileged user and returns its result: as root in a forked child that drops
// to nobody first (root ignores file permissions, so a test run as root would prove nothing),
// otherwise in this process. body must not use GoogleTest assertions (a child's failures would be
// lost): it returns 0 for success and prints what went wrong on standard error.
int runUnprivileged(const std::function<int()>& body);

// As runUnprivileged, but the child keeps root as its saved user id: stand-ins of the privileged
// helper take root's rights back for their own work with AsRoot; the subject acts as nobody.
int runUnprivilegedWithRootAtHand(const std::function<int()>& body);

// Root's rights while it lives, when the process may take them back (runUnprivilegedWithRootAtHand);
// nothing otherwise. The effective user is the whole process's: only for a moment in which the
// subject does not act.
class AsRoot
{
public:
    AsRoot();
    ~AsRoot();
    AsRoot(const AsRoot&) = delete;
    AsRoot& operator=(const AsRoot&) = delete;

private:
    unsigned m_uid;
    bool m_switched = false;
};

// Hands path to nobody when running as root, so that the unprivileged subject owns it.
void giveToNobody(const std::string& path);

} // namespace cv::test
