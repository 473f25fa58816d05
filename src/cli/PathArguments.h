#pragma once

#include <string>

namespace cv::cli {

// An absolute path without "." components, repeated or trailing slashes, so that targets and
// excludes given on the command line read alike. ".." stays: resolving it without the file system
// would be wrong across links. A trailing slash is dropped on purpose: "link/" would otherwise
// name the link's target.
std::string absolutePath(const std::string& path);

} // namespace cv::cli
