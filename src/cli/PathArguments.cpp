#include "cli/PathArguments.h"

#include <cstdlib>
#include <memory>
#include <string_view>
#include <unistd.h>

namespace cv::cli {

std::string absolutePath(const std::string& path)
{
    std::string joined = path;
    if (path.empty() || path.front() != '/') {
        const std::unique_ptr<char, decltype(&std::free)> cwd(::getcwd(nullptr, 0), &std::free);
        joined = std::string(cwd ? cwd.get() : "") + "/" + path;
    }
    std::string result;
    std::size_t start = 0;
    while (start < joined.size()) {
        auto end = joined.find('/', start);
        if (end == std::string::npos)
            end = joined.size();
        const std::string_view part(joined.data() + start, end - start);
        if (!part.empty() && part != ".")
            result.append("/").append(part);
        start = end + 1;
    }
    return result.empty() ? "/" : result;
}

} // namespace cv::cli
