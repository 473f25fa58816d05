#include "common/MountTable.h"

#include "common/Log.h"
#include "common/PathText.h"
#include "common/UniqueFd.h"

#include <array>
#include <cerrno>
#include <charconv>
#include <cstring>
#include <fcntl.h>
#include <sys/sysmacros.h>
#include <unistd.h>

namespace cv {

namespace {

// Every blank ends a field, so two blanks in a row make an empty one.
std::vector<std::string_view> splitFields(std::string_view line)
{
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t end = std::min(line.find(' ', start), line.size());
        fields.push_back(line.substr(start, end - start));
        if (end == line.size())
            return fields;
        start = end + 1;
    }
}

template <typename Number> bool parseNumber(std::string_view text, Number& number)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
    return error == std::errc() && end == text.data() + text.size();
}

bool isOctal(char c)
{
    return c >= '0' && c <= '7';
}

// Reads a whole /proc file, whose size is not known in advance; errno tells why when it cannot.
std::optional<std::string> readProcFile(const char* path)
{
    const UniqueFd fd(::open(path, O_RDONLY | O_CLOEXEC));
    if (!fd)
        return std::nullopt;
    std::string text;
    char buffer[16384];
    for (;;) {
        const ssize_t length = ::read(fd.get(), buffer, sizeof buffer);
        if (length < 0 && errno == EINTR)
            continue;
        if (length < 0)
            return std::nullopt;
        if (length == 0)
            return text;
        text.append(buffer, static_cast<std::size_t>(length));
    }
}

} // namespace

std::string MountTable::decodeEscapes(std::string_view field)
{
    std::string decoded;
    decoded.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) && isOctal(field[i + 2]) &&
            isOctal(field[i + 3])) {
            decoded.push_back(static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                                                (field[i + 3] - '0')));
            i += 3;
        } else {
            decoded.push_back(field[i]);
        }
    }
    return decoded;
}

std::optional<MountEntry> MountTable::parseLine(std::string_view line)
{
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    const auto fields = splitFields(line);
    // id parent major:minor root mount-point options [optional fields...] - type source super-options
    std::size_t separator = 6;
    while (separator < fields.size() && fields[separator] != "-")
        ++separator;
    if (separator + 3 >= fields.size())
        return std::nullopt;

    MountEntry entry;
    const std::string_view device = fields[2];
    const auto colon = device.find(':');
    unsigned int major = 0;
    unsigned int minor = 0;
    if (!parseNumber(fields[0], entry.mountId) || !parseNumber(fields[1], entry.parentId) ||
        colon == std::string_view::npos || !parseNumber(device.substr(0, colon), major) ||
        !parseNumber(device.substr(colon + 1), minor))
        return std::nullopt;
    entry.device = makedev(major, minor);
    entry.root = decodeEscapes(fields[3]);
    entry.mountPoint = decodeEscapes(fields[4]);
    entry.mountOptions = std::string(fields[5]);
    entry.fsType = decodeEscapes(fields[separator + 1]);
    entry.source = decodeEscapes(fields[separator + 2]);
    entry.superOptions = std::string(fields[separator + 3]);
    return entry;
}

std::vector<MountEntry> MountTable::parse(std::string_view text)
{
    std::vector<MountEntry> entries;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        if (auto entry = parseLine(text.substr(start, end - start)))
            entries.push_back(std::move(*entry));
        start = end + 1;
    }
    return entries;
}

Expected<std::vector<MountEntry>, std::string> MountTable::readCurrent()
{
    const auto text = readProcFile(kPath);
    if (!text)
        return Unexpected(std::string("Cannot read ") + kPath + ": " + std::strerror(errno));
    return parse(*text);
}

std::vector<MountEntry> MountTable::read()
{
    auto mounts = readCurrent();
    if (!mounts) {
        logLine(mounts.error());
        return {};
    }
    return std::move(mounts).value();
}

bool MountTable::isHidden(const MountEntry& entry)
{
    static constexpr std::array<std::string_view, 20> kPseudoTypes{
        "proc",    "sysfs",     "cgroup",      "cgroup2",  "devpts",     "mqueue",  "securityfs",
        "debugfs", "tracefs",   "bpf",         "autofs",   "devtmpfs",   "fusectl", "configfs",
        "pstore",  "hugetlbfs", "binfmt_misc", "efivarfs", "rpc_pipefs", "nsfs"};
    for (const auto type : kPseudoTypes) {
        if (entry.fsType == type)
            return true;
    }
    for (const std::string_view system : {"/proc", "/sys", "/dev", "/run"}) {
        if (isAtOrBelow(entry.mountPoint, system))
            return true;
    }
    return false;
}

} // namespace cv
