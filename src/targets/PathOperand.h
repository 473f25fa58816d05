#pragma once

#include <string>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace cv {

// A path the user hands in: an operand or exclude of the command line, or a path dropped, picked
// in the open panel or sent over the session bus. Every way in checks and resolves it here, so
// that every spelling of a path ("d/", "d//x", "./d", "lnk/x", "a/../d") names what the file
// system names and compares alike with the others.
//
// Refused, the way rm refuses its operands: the empty path (an unset shell variable must never
// mean the working folder); a target whose last component is "." or ".." (a shell's ".*" must
// never reach the parent folder); and a path the system cannot take as it is written ("file/"
// names no folder). Refused too: a target on one of the kernel's file systems (proc, sysfs, ...,
// see KernelFileSystem), whose files are no data. On the command line a relative path starts at the working
// folder; from the desktop only absolute paths are taken, since the program's own working folder is nothing
// the user chose.
//
// Resolved: the links and ".." of the folders above the last component are resolved through the
// file system; the last component itself is never followed (a link stays a link), so that
// targets, excludes and the paths a walk meets compare as plain strings.
class PathOperand
{
public:
    enum class Source
    {
        CommandLine, // relative paths start at the working folder
        Desktop,     // absolute paths only
    };
    enum class Kind
    {
        Target,  // something to destroy: "." and ".." as last component are refused
        Exclude, // something to keep: "d/." and "d/.." name the folder they lead to
    };

    // What check() found. A refused operand has a reason and nothing else; an operand that is
    // taken has its path, and what lstat says of that path.
    struct Checked
    {
        std::string path;    // absolute, normalized, the folders above the last component resolved
        std::string refusal; // why the operand cannot be taken at all (empty when it is taken)
        // The kernel's file system ("proc") that the target lies on, when that refused it; the
        // refusal is then a sentence naming the path ("/proc is the kernel's proc file system,
        // not data").
        std::string kernelFileSystem;
        int error = 0; // errno of examining path (ENOENT: nothing there); 0 when it exists
        struct stat info
        {}; // path itself, links not followed, when error is 0

        bool taken() const { return refusal.empty(); }
        bool exists() const { return taken() && error == 0; }
    };

    static constexpr const char* kEmptyPath = "an empty path names no file";
    static constexpr const char* kNotAbsolute = "not an absolute path";
    static constexpr const char* kDotOrDotDot = "refusing to remove '.' or '..' directory";

    static Checked check(std::string_view operand, Kind kind, Source source);

    // An absolute path normalized, with the links and ".." of the folders above its last
    // component resolved, the last component kept as it is unless it is "..". A path whose folders
    // cannot be resolved (they do not exist) is given back normalized.
    static std::string resolvedPath(std::string_view absolutePath);

    // True when exclude (as check() gives it) exists and has something to do with one of the
    // targets: it lies at or below one, or holds one. An exclude that matches nothing is a typo
    // that would otherwise turn silently into a loss.
    static bool excludeMatches(const Checked& exclude, const std::vector<std::string>& targets);
};

} // namespace cv
