#include "cli/TerminalText.h"

#include "common/Log.h"

#include <unistd.h>

namespace cv::cli {

std::string forStream(std::FILE* stream, std::string_view text)
{
    if (::isatty(::fileno(stream)) == 0)
        return std::string(text);
    return escapedForLog(text);
}

} // namespace cv::cli
