#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/PathArguments.h"
#include "targets/PathCollectionFactory.h"

#include <cstdio>

namespace cv::cli {

namespace {

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
    // The same paths a shred of these operands would take; a missing one counts as an empty file.
    auto paths = checkedTargets(line.operands(), false);
    if (printIfError(paths))
        return kExitUsage;
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
