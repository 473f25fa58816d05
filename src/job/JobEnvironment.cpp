#include "job/JobEnvironment.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>
#include <vector>

namespace cv {

namespace {

// "/home/u/" as "/home/u", so that names joined to it read as one path; "/" stays.
std::string withoutTrailingSlashes(std::string path)
{
    while (path.size() > 1 && path.back() == '/')
        path.pop_back();
    return path;
}

} // namespace

std::string JobEnvironment::userHomeFolder()
{
    if (const char* home = std::getenv("HOME"); home && *home)
        return withoutTrailingSlashes(home);
    const long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 16384);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found &&
        found->pw_dir && *found->pw_dir)
        return withoutTrailingSlashes(found->pw_dir);
    return "/";
}

} // namespace cv
