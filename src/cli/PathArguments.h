#pragma once

#include <string>

namespace cv::cli {

// A path from the command line made absolute (relative ones start at the working folder) and
// normalized the way scans compare paths, so that targets and excludes read alike. A trailing
// slash goes too: "link/" would otherwise name the link's target.
std::string absolutePath(const std::string& path);

// absolutePath(), with ".." resolved through the file system (PathCollectionFactory::resolvedPath).
std::string resolvedPath(const std::string& path);

} // namespace cv::cli
