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

// Hands path to nobody when running as root, so that the unprivileged subject owns it.
void giveToNobody(const std::string& path);

} // namespace cv::test
