#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JsonWriter.h"
#include "cli/TerminalText.h"
#include "common/ByteCountFormatter.h"
#include "targets/Volume.h"

#include <cstdio>

namespace cv::cli {

// Lists the mounted volumes the window's free-space tab lists: name, mount point, size and free
// space, in mount order.
int runVolumesCommand(const std::vector<std::string>& args)
{
    const CommandLine line(args, {}, {"--json"});
    if (!line.ok()) {
        printError(line.error());
        return kExitUsage;
    }
    if (!line.operands().empty()) {
        printError("volumes takes no paths");
        return kExitUsage;
    }
    const std::vector<Volume> volumes = findVolumes();
    if (line.flag("--json")) {
        JsonWriter json;
        json.beginArray();
        for (const Volume& volume : volumes) {
            json.beginObject();
            json.bytesMember("name", volume.displayName());
            json.bytesMember("path", volume.path());
            json.key("size");
            json.number(volume.size());
            json.key("freeSpace");
            json.number(volume.freeSpace());
            json.endObject();
        }
        json.endArray();
        std::printf("%s\n", json.text().c_str());
        return kExitOk;
    }
    for (const Volume& volume : volumes) {
        std::printf("%s\t%s\t%s\t%s free\n", forStream(stdout, volume.path()).c_str(),
                    forStream(stdout, volume.displayName()).c_str(), formatByteCount(volume.size()).c_str(),
                    formatByteCount(volume.freeSpace()).c_str());
    }
    return kExitOk;
}

} // namespace cv::cli
