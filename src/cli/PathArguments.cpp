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

std::string resolvedPath(const std::string& path)
{
    return PathCollectionFactory::resolvedPath(absolutePath(path));
}

} // namespace cv::cli
