#include "cli/CommandLine.h"
#include "cli/Commands.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>

namespace {

void printUsage(std::FILE* out)
{
    std::fputs("usage: cindervault-cli COMMAND [OPTIONS] [PATH...]\n"
               "\n"
               "commands:\n"
               "  methods                          list the overwrite methods: ID, passes, name\n"
               "  overwrite --method ID PATH...    overwrite regular files in place, keeping them\n"
               "  scan [--exclude PATH]... PATH... sizes, counts and explorer tree of a selection, as JSON\n",
               out);
}

} // namespace

int main(int argc, char** argv)
{
    using Command = std::function<int(const std::vector<std::string>&)>;
    const std::map<std::string, Command> commands{
        {"methods", cv::cli::runMethodsCommand},
        {"overwrite", cv::cli::runOverwriteCommand},
        {"scan", cv::cli::runScanCommand},
    };

    if (argc < 2) {
        printUsage(stderr);
        return cv::cli::kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(stdout);
        return cv::cli::kExitOk;
    }
    const auto command = commands.find(name);
    if (command == commands.end()) {
        cv::cli::printError("unknown command " + name);
        printUsage(stderr);
        return cv::cli::kExitUsage;
    }
    return command->second(std::vector<std::string>(argv + 2, argv + argc));
}
