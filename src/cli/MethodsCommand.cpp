#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "engine/AlgorithmCollection.h"

#include <cstdio>

namespace cv::cli {

// Lists the real methods in menu order: ID, passes and display name, separated by tabs.
int runMethodsCommand(const std::vector<std::string>& args)
{
    const CommandLine line(args, {}, {}); // answers --help; the command takes nothing else
    if (!args.empty()) {
        printError("methods takes no arguments");
        return kExitUsage;
    }
    const AlgorithmCollection collection;
    for (const auto& algorithm : collection.algorithms()) {
        if (algorithm->cycles() == 0) // the "select your method" placeholder
            continue;
        std::string name = algorithm->selectDesc();
        name.erase(0, name.find_first_not_of(' '));
        std::printf("%llu\t%llu\t%s\n", static_cast<unsigned long long>(algorithm->identifier()),
                    static_cast<unsigned long long>(algorithm->cycles()), name.c_str());
    }
    return kExitOk;
}

} // namespace cv::cli
