#pragma once

#include <string_view>

namespace cv {

// True when path is folder or lies below it, compared on whole path components: "/x/ab/c" lies
// below "/x/ab", "/x/abc" does not; everything absolute lies below "/". Plain text: both are
// expected in one spelling (normalized, links resolved alike).
bool isAtOrBelow(std::string_view path, std::string_view folder);

} // namespace cv
