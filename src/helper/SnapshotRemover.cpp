#include "helper/SnapshotRemover.h"

#include "common/Log.h"
#include "helper/ToolRunner.h"

namespace cv {

namespace {

constexpr int kListTimeoutSeconds = 120;
// Deleting btrfs snapshots is quick; ext4 and LVM thin snapshots may take a while.
constexpr int kDeleteTimeoutSeconds = 3600;

} // namespace

SnapshotRemover::SnapshotRemover(std::vector<std::string> toolSearchPath)
    : m_toolSearchPath(std::move(toolSearchPath))
{}

std::vector<unsigned long> SnapshotRemover::parseSnapshotNumbers(std::string_view csv)
{
    std::vector<unsigned long> numbers;
    std::size_t start = 0;
    while (start < csv.size()) {
        std::size_t end = csv.find('\n', start);
        if (end == std::string_view::npos)
            end = csv.size();
        std::string_view line = csv.substr(start, end - start);
        start = end + 1;
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == ','))
            line.remove_suffix(1);
        if (line.empty() || line.size() > 18)
            continue;
        unsigned long number = 0;
        bool digits = true;
        for (char c : line) {
            if (c < '0' || c > '9') {
                digits = false;
                break;
            }
            number = number * 10 + static_cast<unsigned long>(c - '0');
        }
        if (digits && number != 0)
            numbers.push_back(number);
    }
    return numbers;
}

HelperResult SnapshotRemover::checkTool() const
{
    if (!ToolRunner::find("snapper", m_toolSearchPath))
        return HelperError::toolMissing("snapper is not installed; there are no snapper snapshots to delete");
    return {};
}

HelperResult SnapshotRemover::deleteSnapshots() const
{
    const auto snapper = ToolRunner::find("snapper", m_toolSearchPath);
    if (!snapper)
        return HelperError::toolMissing("snapper is not installed; there are no snapper snapshots to delete");

    const auto listing =
        ToolRunner::run(*snapper, {"--no-dbus", "--csvout", "-c", "root", "list", "--columns", "number"},
                        kListTimeoutSeconds);
    if (!listing.succeeded())
        return HelperError::failed("snapper could not list the snapshots of the root configuration (" +
                                   listing.describeFailure() + ")");
    const auto numbers = parseSnapshotNumbers(listing.out);
    logMessage("Snapshots of the root configuration to delete: ", numbers.size());
    if (numbers.empty())
        return {};

    std::vector<std::string> arguments = {"--no-dbus", "-c", "root", "delete"};
    for (const auto number : numbers)
        arguments.push_back(std::to_string(number));
    const auto deletion = ToolRunner::run(*snapper, arguments, kDeleteTimeoutSeconds);
    if (!deletion.succeeded())
        return HelperError::failed("snapper could not delete the snapshots (" + deletion.describeFailure() +
                                   ")");
    return {};
}

} // namespace cv
