#pragma once

#include <sstream>
#include <string>
#include <string_view>

namespace cv {

// Writes one plain line onto standard error, prefixed with the time and the process, in a single
// write so that lines of different threads never interleave. Standard error is what the window
// reopens onto the daily log file when diagnosis is on.
void logLine(std::string_view message);

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
