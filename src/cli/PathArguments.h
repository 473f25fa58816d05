#pragma once

#include <string>

namespace cv::cli {

// A path from the command line made absolute (relative ones start at the working folder) and
// normalized the way scans compare paths, so that targets and excludes read alike. A trailing
// slash goes too: "link/" would otherwise name the link's target.
std::string absolutePath(const std::string& path);

// absolutePath(), with ".." resolved the way the file system resolves it (through links, not by
// the text), so that "/etc/.." names "/" and an exclude written with ".." names the paths a walk
// meets. The last component stays as it is (a link stays a link) unless it is "..". A path whose
// folders cannot be resolved is given back as absolutePath() gives it.
std::string resolvedPath(const std::string& path);

} // namespace cv::cli
