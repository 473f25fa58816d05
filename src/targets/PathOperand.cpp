#include "targets/PathOperand.h"

#include "common/KernelFileSystem.h"
#include "common/PathText.h"
#include "targets/FolderWalker.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <optional>
#include <unistd.h>

namespace cv {

namespace {

std::optional<std::string> realPath(const std::string& path)
{
    const std::unique_ptr<char, decltype(&std::free)> real(::realpath(path.c_str(), nullptr), &std::free);
    if (!real)
        return std::nullopt;
    return std::string(real.get());
}

} // namespace

PathOperand::Checked PathOperand::check(std::string_view operand, Kind kind, Source source)
{
    Checked checked;
    if (operand.empty()) {
        checked.refusal = kEmptyPath;
        return checked;
    }
    if (operand.find('\0') != std::string_view::npos) {
        checked.refusal = "a path cannot hold a NUL byte";
        return checked;
    }
    std::string absolute;
    if (operand.starts_with('/')) {
        absolute = operand;
    } else if (source == Source::Desktop) {
        checked.refusal = kNotAbsolute;
        return checked;
    } else {
        // Without a working folder a relative path names nothing; it must never fall back to "/".
        const std::unique_ptr<char, decltype(&std::free)> folder(::getcwd(nullptr, 0), &std::free);
        if (!folder) {
            checked.refusal = std::string("the working folder cannot be found: ") + std::strerror(errno);
            return checked;
        }
        absolute = joinPath(folder.get(), operand);
    }

    // First the path as written, so that the system's own word comes as it would for rm: "file/"
    // and "file/." are "Not a directory", a loop of links is a loop.
    struct stat asWritten;
    if (::lstat(absolute.c_str(), &asWritten) != 0 && (errno == ENOTDIR || errno == ELOOP)) {
        checked.refusal = std::strerror(errno);
        return checked;
    }
    const std::string_view last = lastComponent(operand);
    const bool dots = last == "." || last == "..";
    if (dots && kind == Kind::Target) {
        checked.refusal = kDotOrDotDot;
        return checked;
    }
    // An exclude "d/." or "d/.." keeps the folder it leads to, through links too.
    const auto real = dots ? realPath(absolute) : std::nullopt;
    checked.path = real ? *real : resolvedPath(absolute);
    if (::lstat(checked.path.c_str(), &checked.info) != 0)
        checked.error = errno;
    // Nothing of the kernel's file systems is data: such a target is refused before a scan or a
    // job opens anything of it. Excluding something there does no harm.
    if (kind == Kind::Target && checked.error == 0) {
        if (const auto kernel = KernelFileSystem::atPath(checked.path)) {
            struct stat info;
            bool mountRoot = false;
            FolderWalker::examine(AT_FDCWD, checked.path.c_str(), info, mountRoot);
            checked.refusal = kernel->refusal(checked.path, mountRoot || checked.path == "/");
            checked.kernelFileSystem = kernel->name;
        }
    }
    return checked;
}

std::string PathOperand::resolvedPath(std::string_view absolutePath)
{
    const std::string normalized = normalizedPath(absolutePath);
    if (!normalized.starts_with('/') || normalized == "/")
        return normalized;
    const auto slash = normalized.rfind('/');
    const std::string name = normalized.substr(slash + 1);
    if (name == "..")
        return realPath(normalized).value_or(normalized);
    const auto parent = realPath(slash == 0 ? "/" : normalized.substr(0, slash));
    if (!parent)
        return normalized;
    return joinPath(*parent, name);
}

bool PathOperand::excludeMatches(const Checked& exclude, const std::vector<std::string>& targets)
{
    if (!exclude.exists())
        return false;
    return std::any_of(targets.begin(), targets.end(), [&exclude](const std::string& target) {
        return isAtOrBelow(exclude.path, target) || isAtOrBelow(target, exclude.path);
    });
}

} // namespace cv
