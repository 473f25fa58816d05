#pragma once

#include <sstream>
#include <string>
#include <string_view>

namespace cv {

// Writes one plain line onto standard error, prefixed with the time and the process, in a single
// write so that lines of different threads never interleave. Standard error is what the window
// reopens onto the daily log file when diagnosis is on. Control characters in the message are
// escaped (escapedForLog), so that no file name, volume label or feed title can break a line or
// forge one of its own, whoever logs it.
void logLine(std::string_view message);

// text with every control character written as "\xHH" per byte: the C0 controls (line breaks and
// tabs too), DEL, and the C1 controls in their UTF-8 form (U+0080 to U+009F, which terminals take
// as escape sequences). Everything else, bytes that are not UTF-8 included, stays as it is.
std::string escapedForLog(std::string_view text);

// Where log lines go from now on: a descriptor the caller keeps open (standard error by default),
// or -1 to drop them. The command line keeps a terminal free of them unless asked.
void setLogDescriptor(int fd);
int currentLogDescriptor();

// logMessage("Shredding path ", path, " done") joins its arguments with operator<< and logs them.
template <typename... Parts> void logMessage(const Parts&... parts)
{
    std::ostringstream stream;
    (stream << ... << parts);
    logLine(stream.str());
}

} // namespace cv
