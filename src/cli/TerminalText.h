#pragma once

#include <cstdio>
#include <string>
#include <string_view>

namespace cv::cli {

// Text that carries names (paths, volume labels, the reasons that quote them) for a line on
// stream. On a terminal every control character is written as the log writes it ("\xHH", see
// escapedForLog): a file name holding escape sequences would otherwise set the terminal's title,
// move the cursor or forge a result line of its own. Off a terminal the text stays as it is.
std::string forStream(std::FILE* stream, std::string_view text);

} // namespace cv::cli
