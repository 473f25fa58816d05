#include "helper/ArgumentCheck.h"

#include "common/FileTypeName.h"
#include "common/Log.h"

#include <sys/stat.h>

namespace cv {

Expected<void, std::string> ArgumentCheck::checkPath(std::string_view path)
{
    if (path.empty())
        return Unexpected("The path is empty");
    if (path.size() > kMaxPathLength)
        return Unexpected("The path is longer than " + std::to_string(kMaxPathLength) + " bytes");
    if (path.find('\0') != std::string_view::npos)
        return Unexpected("The path contains a NUL byte: " + shown(path.substr(0, path.find('\0'))));
    if (path.front() != '/')
        return Unexpected("The path is not absolute: " + shown(path));
    std::size_t start = 0;
    while (start <= path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        if (path.substr(start, end - start) == "..")
            return Unexpected("The path contains a \"..\" component: " + shown(path));
        start = end + 1;
    }
    return {};
}

Expected<void, std::string> ArgumentCheck::checkName(std::string_view name)
{
    if (name.empty())
        return Unexpected("The name is empty");
    if (name.size() > kMaxNameLength)
        return Unexpected("The name is longer than " + std::to_string(kMaxNameLength) + " bytes");
    if (name.find('\0') != std::string_view::npos)
        return Unexpected("The name contains a NUL byte: " + shown(name.substr(0, name.find('\0'))));
    if (name.find('/') != std::string_view::npos)
        return Unexpected("The name is not one component: " + shown(name));
    if (name == "." || name == "..")
        return Unexpected("The name " + std::string(name) + " is not an entry of its own");
    return {};
}

std::vector<std::string> ArgumentCheck::components(std::string_view path)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start < path.size()) {
        std::size_t end = path.find('/', start);
        if (end == std::string_view::npos)
            end = path.size();
        const std::string_view name = path.substr(start, end - start);
        if (!name.empty() && name != ".")
            names.emplace_back(name);
        start = end + 1;
    }
    return names;
}

std::string ArgumentCheck::normalized(std::string_view path)
{
    std::string result;
    for (const auto& name : components(path))
        result += "/" + name;
    return result.empty() ? std::string("/") : result;
}

Expected<void, std::string> ArgumentCheck::checkPermissionTarget(mode_t mode)
{
    if (S_ISREG(mode))
        return {};
    if (S_ISLNK(mode))
        return Unexpected("Refusing to change the permissions of a symbolic link");
    return Unexpected(std::string("Refusing to change the permissions of a ") + fileTypeName(mode) +
                      "; only regular files are handed out for writing");
}

std::string ArgumentCheck::shown(std::string_view argument, std::size_t limit)
{
    // Control characters escaped the way every log line escapes them.
    std::string result = escapedForLog(argument.substr(0, limit));
    if (argument.size() > limit)
        result += "... (" + std::to_string(argument.size()) + " bytes)";
    return result;
}

} // namespace cv
