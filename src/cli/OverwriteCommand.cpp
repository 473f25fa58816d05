#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/JobCommandSupport.h"
#include "cli/PathArguments.h"
#include "cli/TerminalText.h"
#include "common/Expected.h"
#include "engine/AlgorithmCollection.h"
#include "engine/RegularFileOpener.h"
#include "engine/ShredWriter.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>

namespace cv::cli {

namespace {

// Overwrites one path in place; success, or the reason it could not.
Expected<void, std::string> overwriteOne(ShredWriter& writer, const std::string& path)
{
    const RegularFileOpener::Result opened = RegularFileOpener::open(AT_FDCWD, path.c_str());
    if (opened.status != RegularFileOpener::Status::Opened)
        return Unexpected(RegularFileOpener::describe(opened));
    const auto outcome = writer.shredInFile(opened.fd.get(), opened.info.st_size);
    if (outcome == ShredWriter::Outcome::Failed)
        return Unexpected(std::string("write failed: ") + std::strerror(writer.lastError()));
    if (outcome == ShredWriter::Outcome::Grew)
        return Unexpected(std::string("the file kept growing while it was overwritten"));
    if (outcome == ShredWriter::Outcome::VerificationFailed) {
        if (const auto offset = writer.mismatchOffset())
            return Unexpected("verification failed: first difference at byte " + std::to_string(*offset));
        return Unexpected(std::string("verification failed: ") + std::strerror(writer.lastError()));
    }
    return {};
}

} // namespace

// Overwrites regular files in place with every pass of a method, keeping them.
int runOverwriteCommand(const std::vector<std::string>& args)
{
    const CommandLine line(args, {"--method"}, {"--verify"});
    if (!line.ok()) {
        printError(line.error());
        return kExitUsage;
    }
    const auto methodText = line.value("--method");
    if (!methodText) {
        printError("overwrite needs --method ID (see: cindervault-cli methods)");
        return kExitUsage;
    }
    const auto verification = JobCommandSupport::chooseVerification(line);
    if (printIfError(verification))
        return kExitUsage;
    const AlgorithmCollection collection;
    const auto identifier = CommandLine::parseUnsigned(*methodText);
    const auto algorithm = identifier ? collection.findByIdentifier(*identifier) : nullptr;
    if (!algorithm || algorithm->cycles() == 0) {
        printError("unknown method " + *methodText + " (see: cindervault-cli methods)");
        return kExitUsage;
    }
    if (line.operands().empty()) {
        printError("overwrite needs at least one path");
        return kExitUsage;
    }

    // Every operand is checked before the first is touched; a missing file is a failure of its
    // own below, like any other file that cannot be overwritten.
    const auto paths = checkedTargets(line.operands(), false);
    if (printIfError(paths))
        return kExitUsage;

    ShredWriter writer(algorithm, ShredWriter::kFileBlockSize);
    writer.setVerification(*verification);
    int exitCode = kExitOk;
    for (std::size_t i = 0; i < paths->size(); ++i) {
        if (const auto overwritten = overwriteOne(writer, (*paths)[i]); !overwritten) {
            std::fprintf(stderr, "%s\n",
                         forStream(stderr, line.operands()[i] + ": " + overwritten.error()).c_str());
            exitCode = kExitFailure;
        }
    }
    return exitCode;
}

} // namespace cv::cli
