#pragma once

#include <string>
#include <string_view>

namespace cv {

// Paths as text: the small operations on path strings that the walks, the job, the free-space wipe
// and the command line share, without asking the file system. Paths are byte strings and stay as
// they are (no re-encoding); "/" is the only path that keeps a trailing slash.

// The path without trailing slashes, "/" staying "/": "/a/b//" -> "/a/b".
std::string_view withoutTrailingSlashes(std::string_view path);

// The last component as written, trailing slashes aside: "/a/b/" -> "b", "d/./" -> ".", "a" -> "a",
// "/" -> "/".
std::string_view lastComponent(std::string_view path);

// A path's folder and its last component, trailing slashes aside: "/a/b/" -> {"/a", "b"},
// "/a" -> {"/", "a"}, "a" -> {".", "a"}.
struct SplitPath
{
    std::string parent;
    std::string name;
};
SplitPath splitPath(std::string_view path);

// name inside folder: "/a" + "b" -> "/a/b", "/" + "b" -> "/b"; an empty folder gives name alone.
std::string joinPath(std::string_view folder, std::string_view name);

// The path without "." components, repeated or trailing slashes: the form in which excludes and
// walked paths are compared ("/a//b/./c/" -> "/a/b/c", "//" -> "/", "./a" -> "a", "" -> ".").
// ".." stays, since resolving it without the file system would be wrong across links
// (PathOperand resolves it).
std::string normalizedPath(std::string_view path);

// Calls visit(component) with each component of path in order, leaving out empty ones and ".", the
// way the file system reads "a//b/./c"; stops early when visit returns false.
template <typename Visit> void forEachComponent(std::string_view path, Visit visit)
{
    while (!path.empty()) {
        const auto slash = path.find('/');
        const std::string_view part = path.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view() : path.substr(slash + 1);
        if (!part.empty() && part != "." && !visit(part))
            return;
    }
}

// True when path is folder or lies below it, compared on whole path components: "/x/ab/c" lies
// below "/x/ab", "/x/abc" does not; everything absolute lies below "/". Plain text: both are
// expected in one spelling (normalized, links resolved alike).
bool isAtOrBelow(std::string_view path, std::string_view folder);

// A name of udev's links in /dev/disk with its "\xNN" escapes (bytes udev will not put in a link
// name) turned back into the bytes.
std::string decodeUdevName(std::string_view name);

} // namespace cv
