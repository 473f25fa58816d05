#include "common/Log.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <errno.h> // program_invocation_short_name
#include <unistd.h>

namespace cv {

namespace {

std::atomic<int> g_logFd{STDERR_FILENO};

const char* processName()
{
    return program_invocation_short_name ? program_invocation_short_name : "cindervault";
}

} // namespace

void setLogDescriptor(int fd)
{
    g_logFd.store(fd);
}

int currentLogDescriptor()
{
    return g_logFd.load();
}

void logLine(std::string_view message)
{
    const int fd = g_logFd.load();
    if (fd < 0)
        return;
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
    localtime_r(&seconds, &local);

    char prefix[128];
    const int prefixLength =
        std::snprintf(prefix, sizeof prefix, "%04d-%02d-%02d %02d:%02d:%02d.%03d %s[%d] ",
                      local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min,
                      local.tm_sec, static_cast<int>(millis), processName(), static_cast<int>(getpid()));
    std::string line;
    line.reserve(static_cast<std::size_t>(prefixLength) + message.size() + 1);
    line.append(prefix, static_cast<std::size_t>(prefixLength));
    line.append(message);
    line.push_back('\n');

    const char* data = line.data();
    std::size_t left = line.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return; // nowhere left to report a broken standard error
        data += written;
        left -= static_cast<std::size_t>(written);
    }
}

} // namespace cv
