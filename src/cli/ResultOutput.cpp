#include "cli/ResultOutput.h"

#include "cli/JsonWriter.h"
#include "cli/TerminalText.h"
#include "common/ByteCountFormatter.h"

#include <cstdio>
#include <ctime>

namespace cv::cli {

namespace {

std::string isoTime(ShredResult::Clock::time_point point)
{
    const std::time_t seconds = ShredResult::Clock::to_time_t(point);
    std::tm utc{};
    gmtime_r(&seconds, &utc);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return text;
}

const char* statusTitle(ShredResult::Status status)
{
    switch (status) {
    case ShredResult::Status::Cancelled:
        return "Cancelled";
    case ShredResult::Status::Errors:
        return "Done with errors";
    case ShredResult::Status::Success:
        break;
    }
    return "Done";
}

const char* statusKey(ShredResult::Status status)
{
    switch (status) {
    case ShredResult::Status::Cancelled:
        return "cancelled";
    case ShredResult::Status::Errors:
        return "errors";
    case ShredResult::Status::Success:
        break;
    }
    return "success";
}

// The method's number and its name as the method list shows it, without the leading indent.
void writeMethod(JsonWriter& json, const ShredResult& result)
{
    json.key("method");
    json.beginObject();
    json.key("id");
    json.number(result.algorithm ? result.algorithm->identifier() : std::uint64_t(0));
    json.key("name");
    std::string name = result.algorithm ? result.algorithm->selectDesc() : std::string();
    name.erase(0, name.find_first_not_of(' '));
    json.string(name);
    json.endObject();
}

void writeCounts(JsonWriter& json, const ShredResult& result)
{
    json.key("fileCountTotal");
    json.number(result.fileCountTotal);
    json.key("fileCountFinished");
    json.number(result.fileCountFinished);
    json.key("status");
    json.string(statusKey(result.status()));
    json.key("errorCount");
    json.number(result.errorCount);
    json.key("otherErrorCount");
    json.number(result.otherErrorCount);
    json.key("bytesCountTotal");
    json.number(result.bytesCountTotal);
    json.key("bytesCountFinished");
    json.number(result.bytesCountFinished);
    json.key("fileCountRemoved");
    json.number(result.fileCountRemoved);
    json.key("bytesCountRemoved");
    json.number(result.bytesCountRemoved);
}

// Paths as text, and, where a path is not valid UTF-8, its exact bytes in Base64 in the same
// place of "pathsBase64" (null elsewhere).
void writePaths(JsonWriter& json, const ShredResult& result)
{
    const std::vector<std::string> noPaths;
    const auto& paths = result.paths ? result.paths->paths() : noPaths;
    json.key("paths");
    json.beginArray();
    bool anyInvalid = false;
    for (const auto& path : paths) {
        json.string(path);
        anyInvalid = anyInvalid || !JsonWriter::isValidUtf8(path);
    }
    json.endArray();
    if (!anyInvalid)
        return;
    json.key("pathsBase64");
    json.beginArray();
    for (const auto& path : paths) {
        if (JsonWriter::isValidUtf8(path))
            json.null();
        else
            json.string(JsonWriter::base64(path));
    }
    json.endArray();
}

void writeHistoryItem(JsonWriter& json, const ShredItem& item)
{
    json.beginObject();
    json.bytesMember("path", item.path.str());
    if (!item.formerPath.empty())
        json.bytesMember("formerPath", item.formerPath.str());
    json.key("fileSize");
    json.number(item.fileSize);
    json.key("kind");
    json.string(ShredItem::kindKey(item.kind));
    json.key("success");
    json.boolean(item.success);
    if (item.kind == ShredItem::Kind::File) {
        json.key("verified");
        json.boolean(item.verified);
        json.key("state");
        json.string(ShredItem::stateKey(item.state));
    }
    json.key("error");
    if (item.error)
        json.string(*item.error);
    else
        json.null();
    json.endObject();
}

void writeVolume(JsonWriter& json, const ShredVolume& volume)
{
    json.beginObject();
    json.bytesMember("mountPoint", volume.volume.mountPoint);
    json.key("fileSystem");
    json.string(volume.volume.fileSystem);
    json.key("copyOnWrite");
    json.boolean(volume.volume.copyOnWrite);
    json.key("snapshots");
    json.boolean(volume.volume.snapshots);
    json.key("freeSpaceWiped");
    json.boolean(volume.freeSpaceWiped);
    json.key("wipedAfterDeletion");
    json.boolean(volume.wipedAfterDeletion);
    json.key("freeSpaceUnwritten");
    json.number(volume.unwrittenBytes);
    json.key("trim");
    json.string(ShredVolume::trimKey(volume.trim));
    json.endObject();
}

// The paths the job left alone on purpose, with the reason; absent when there are none.
void writeKept(JsonWriter& json, const ResultOutput::KeptPaths& kept)
{
    if (kept.empty())
        return;
    json.key("kept");
    json.beginArray();
    for (const auto& [path, reason] : kept) {
        json.beginObject();
        json.bytesMember("path", path);
        json.key("reason");
        json.string(reason);
        json.endObject();
    }
    json.endArray();
}

} // namespace

void ResultOutput::printJson(const ShredResult& result, const std::optional<std::string>& reportPath,
                             const KeptPaths& kept)
{
    JsonWriter json;
    json.beginObject();
    json.key("canceled");
    json.boolean(result.canceled);
    json.key("start");
    json.string(isoTime(result.start));
    json.key("end");
    json.string(isoTime(result.end));
    writeMethod(json, result);
    json.key("verification");
    json.string(verificationKey(result.options ? result.options->verification : Verification::Off));
    writeCounts(json, result);
    writePaths(json, result);
    json.key("history");
    json.beginArray();
    for (const auto& item : result.history)
        writeHistoryItem(json, item);
    json.endArray();
    json.key("volumes");
    json.beginArray();
    for (const ShredVolume& volume : result.volumes)
        writeVolume(json, volume);
    json.endArray();
    writeKept(json, kept);
    if (reportPath)
        json.bytesMember("reportPath", *reportPath);
    json.endObject();
    std::printf("%s\n", json.text().c_str());
}

void ResultOutput::printSummary(const ShredResult& result, const KeptPaths& kept)
{
    std::string name = result.algorithm ? result.algorithm->selectDesc() : std::string();
    name.erase(0, name.find_first_not_of(' '));
    // What was really overwritten and removed: after a cancel that may be less than was begun.
    // Errors of files and the other errors (folders, mount points, volumes, steps) are apart.
    std::printf(
        "%s: %llu of %llu files, %s, method %s; %llu removed (%s); %llu file errors; %llu other errors\n",
        statusTitle(result.status()), static_cast<unsigned long long>(result.fileCountFinished),
        static_cast<unsigned long long>(result.fileCountTotal),
        formatByteCount(result.bytesCountFinished).c_str(), name.c_str(),
        static_cast<unsigned long long>(result.fileCountRemoved),
        formatByteCount(result.bytesCountRemoved).c_str(), static_cast<unsigned long long>(result.errorCount),
        static_cast<unsigned long long>(result.otherErrorCount));
    for (const ShredVolume& volume : result.volumes) {
        if (!volume.freeSpaceWiped && !volume.volume.copyOnWrite)
            continue;
        std::string line = "Volume " + volume.volume.mountPoint + " (" + volume.volume.fileSystem +
                           (volume.volume.copyOnWrite ? ", copy-on-write" : "") + "): ";
        if (!volume.freeSpaceWiped)
            line += "free space not wiped";
        else if (volume.unwrittenBytes > 0)
            line += "free space wiped in part: " + formatByteCount(volume.unwrittenBytes) +
                    " reserved by the file system could not be written";
        else
            line += volume.wipedAfterDeletion ? "free space wiped after the deletion" : "free space wiped";
        if (volume.freeSpaceWiped) {
            line += std::string("; TRIM ") + ShredVolume::trimKey(volume.trim);
            if (!volume.trimDetail.empty())
                line += " (" + volume.trimDetail + ")";
        }
        std::printf("%s\n", forStream(stdout, line).c_str());
    }
    for (const auto& [path, reason] : kept)
        std::printf("Kept: %s (%s)\n", forStream(stdout, path).c_str(), forStream(stdout, reason).c_str());
}

void ResultOutput::printFailures(const ShredResult& result)
{
    const bool deleting = !(result.options && result.options->eraseFreeSpaceOnly);
    for (const auto& item : result.history) {
        if (item.failed(deleting) || (item.cancelled && item.kind == ShredItem::Kind::File && item.success) ||
            item.state == ShredItem::State::OverwrittenInPart)
            std::fprintf(stderr, "%s\n",
                         forStream(stderr, item.path.str() +
                                               (item.formerPath.empty()
                                                    ? std::string()
                                                    : " (formerly " + item.formerPath.str() + ")") +
                                               ": " + item.error.value_or("failed"))
                             .c_str());
    }
}

} // namespace cv::cli
