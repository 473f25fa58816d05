#include "cli/PathArguments.h"

#include "targets/PathCollectionFactory.h"

#include <cstdlib>
#include <memory>
#include <optional>
#include <unistd.h>

namespace cv::cli {

std::string absolutePath(const std::string& path)
{
    if (path.starts_with('/'))
        return PathCollectionFactory::normalizedPath(path);
    const std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
    return PathCollectionFactory::normalizedPath(std::string(cwd ? cwd.get() : "") + "/" + path);
}

namespace {

std::optional<std::string> realPath(const std::string& path)
{
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    if (!real)
        return std::nullopt;
    return std::string(real.get());
}

} // namespace

std::string resolvedPath(const std::string& path)
{
    const std::string absolute = absolutePath(path);
    if (absolute != "/.." && absolute.find("/../") == std::string::npos && !absolute.ends_with("/.."))
        return absolute;
    const auto slash = absolute.rfind('/');
    const std::string name = absolute.substr(slash + 1);
    if (name == "..")
        return realPath(absolute).value_or(absolute);
    const auto parent = realPath(slash == 0 ? "/" : absolute.substr(0, slash));
    if (!parent)
        return absolute;
    return *parent == "/" ? "/" + name : *parent + "/" + name;
}

} // namespace cv::cli
