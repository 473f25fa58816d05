#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/PathArguments.h"
#include "cli/TerminalText.h"
#include "targets/PathCollectionFactory.h"

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>

namespace cv::cli {

namespace {

// Names each path of the operands that does not exist ("PATH: no such file", as overwrite says
// it); true when every one does. A scan of a typo would count it as an empty file.
bool everyPathExists(const std::vector<std::string>& operands, const std::vector<std::string>& paths)
{
    bool all = true;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        struct stat info = {};
        if (::lstat(paths[i].c_str(), &info) != 0 && (errno == ENOENT || errno == ENOTDIR)) {
            std::fprintf(stderr, "%s: no such file\n", forStream(stderr, operands[i]).c_str());
            all = false;
        }
    }
    return all;
}

void writeItem(JsonWriter& json, const TreeItem& item)
{
    json.beginObject();
    json.bytesMember("path", item.path());
    json.key("totalSize");
    json.number(item.totalSize());
    if (item.level() == 0) {
        json.key("isFolder");
        json.boolean(item.isFolder());
        json.key("isVolume");
        json.boolean(item.isVolume());
    } else {
        json.key("totalCount");
        json.number(item.totalCount());
        json.key("isFolder");
        json.boolean(item.isFolder());
        json.key("isHidden");
        json.boolean(item.isHidden());
    }
    json.key("deselected");
    json.boolean(item.deselected());
    if (item.level() < 2) {
        json.key("children");
        json.beginArray();
        for (const auto& child : item.children())
            writeItem(json, *child);
        json.endArray();
    }
    json.endObject();
}

} // namespace

// Scans paths the way the shred screen does and prints the totals and the explorer's tree as
// one JSON object.
int runScanCommand(const std::vector<std::string>& args)
{
    const CommandLine line(args, {"--exclude"}, {});
    if (!line.ok()) {
        printError(line.error());
        return kExitUsage;
    }
    if (line.operands().empty()) {
        printError("scan needs at least one path");
        return kExitUsage;
    }
    // The same paths a shred of these operands would take. A missing one fails the scan, which
    // then prints nothing: totals without it would pass for the selection's.
    auto paths = checkedTargets(line.operands(), false);
    if (printIfError(paths))
        return kExitUsage;
    if (!everyPathExists(line.operands(), *paths))
        return kExitFailure;
    auto excludes = checkedExcludes(line.values("--exclude"), *paths);
    if (printIfError(excludes))
        return kExitUsage;

    PathCollection collection;
    collection.setPaths(std::move(*paths));
    collection.setExcludes(std::move(*excludes));
    PathCollectionFactory().updatePathCollection(collection);

    JsonWriter json;
    json.beginObject();
    json.key("totalSize");
    json.number(collection.totalSize());
    json.key("fileCount");
    json.number(collection.fileCount());
    json.key("hiddenCount");
    json.number(collection.hiddenCount());
    json.key("folderCount");
    json.number(collection.folderCount());
    json.key("symlinkCount");
    json.number(collection.symlinkCount());
    json.key("selectedSize");
    json.number(collection.getSelectedSize());
    json.key("selectedCount");
    json.number(collection.getSelectedCount());
    json.key("trees");
    json.beginArray();
    for (const auto& tree : collection.trees())
        writeItem(json, *tree);
    json.endArray();
    json.endObject();
    std::fwrite(json.text().data(), 1, json.text().size(), stdout);
    std::fputc('\n', stdout);
    return kExitOk;
}

} // namespace cv::cli
