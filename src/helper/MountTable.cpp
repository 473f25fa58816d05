#include "helper/MountTable.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace cv {

namespace {

// Fields are separated by exactly one space; an empty source shows as an empty field.
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

bool parseInt(std::string_view text, int& value)
{
    if (text.empty())
        return false;
    long result = 0;
    for (char c : text) {
        if (c < '0' || c > '9' || result > 100000000)
            return false;
        result = result * 10 + (c - '0');
    }
    value = static_cast<int>(result);
    return true;
}

} // namespace

std::string MountTable::unescape(std::string_view field)
{
    std::string result;
    result.reserve(field.size());
    for (std::size_t i = 0; i < field.size(); ++i) {
        const auto isOctal = [](char c) { return c >= '0' && c <= '7'; };
        if (field[i] == '\\' && i + 3 < field.size() && isOctal(field[i + 1]) && isOctal(field[i + 2]) &&
            isOctal(field[i + 3])) {
            result.push_back(static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                                               (field[i + 3] - '0')));
            i += 3;
        } else {
            result.push_back(field[i]);
        }
    }
    return result;
}

std::vector<MountEntry> MountTable::parse(std::string_view text)
{
    std::vector<MountEntry> entries;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        const auto fields = splitFields(text.substr(start, end - start));
        start = end + 1;

        // id parent major:minor root mountpoint options [optional...] - type source superoptions
        std::size_t separator = 6;
        while (separator < fields.size() && fields[separator] != "-")
            ++separator;
        if (fields.size() < 10 || separator + 3 >= fields.size())
            continue;
        MountEntry entry;
        const std::string_view device = fields[2];
        const std::size_t colon = device.find(':');
        int major = 0;
        int minor = 0;
        if (!parseInt(fields[0], entry.id) || !parseInt(fields[1], entry.parentId) ||
            colon == std::string_view::npos || !parseInt(device.substr(0, colon), major) ||
            !parseInt(device.substr(colon + 1), minor))
            continue;
        entry.major = static_cast<unsigned>(major);
        entry.minor = static_cast<unsigned>(minor);
        entry.root = unescape(fields[3]);
        entry.mountPoint = unescape(fields[4]);
        entry.mountOptions = std::string(fields[5]);
        entry.fsType = unescape(fields[separator + 1]);
        entry.source = unescape(fields[separator + 2]);
        entry.superOptions = std::string(fields[separator + 3]);
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::optional<std::vector<MountEntry>> MountTable::readCurrent()
{
    std::ifstream file("/proc/self/mountinfo");
    if (!file)
        return std::nullopt;
    std::ostringstream text;
    text << file.rdbuf();
    return parse(text.str());
}

} // namespace cv
