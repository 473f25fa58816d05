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

void appendEscapedByte(std::string& out, unsigned char byte)
{
    static constexpr char digits[] = "0123456789abcdef";
    out += "\\x";
    out += digits[byte >> 4];
    out += digits[byte & 0xf];
}

} // namespace

std::string escapedForLog(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 || byte == 0x7f) {
            appendEscapedByte(escaped, byte);
            continue;
        }
        // U+0080 to U+009F are C2 80 to C2 9F in UTF-8.
        const auto next = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        if (byte == 0xc2 && next >= 0x80 && next <= 0x9f) {
            appendEscapedByte(escaped, byte);
            appendEscapedByte(escaped, next);
            ++i;
            continue;
        }
        escaped += static_cast<char>(byte);
    }
    return escaped;
}

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

    char time[64];
    const int timeLength = std::snprintf(time, sizeof time, "%04d-%02d-%02d %02d:%02d:%02d.%03d ",
                                         local.tm_year + 1900, local.tm_mon + 1, local.tm_mday, local.tm_hour,
                                         local.tm_min, local.tm_sec, static_cast<int>(millis));
    std::string line;
    line.reserve(static_cast<std::size_t>(timeLength) + message.size() + 64);
    line.append(time, static_cast<std::size_t>(timeLength));
    // The program's name is what it was started as: escaped like the message.
    line.append(escapedForLog(processName()));
    line.append("[" + std::to_string(getpid()) + "] ");
    line.append(escapedForLog(message));
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
