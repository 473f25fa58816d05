#include "cli/CommandHelp.h"

#include "tempdata/TempCategories.h"

#include <cstdio>
#include <map>

namespace cv::cli {

namespace {

struct CommandText
{
    const char* operands;
    const char* summary;
};

struct OptionText
{
    const char* value; // the placeholder of the option's value; empty for a flag
    const char* summary;
};

const std::map<std::string, CommandText>& commandTexts()
{
    static const std::map<std::string, CommandText> texts{
        {"methods", {"", "List the overwrite methods: ID, passes and name, separated by tabs."}},
        {"overwrite",
         {"PATH...", "Overwrite regular files in place with every pass of a method, keeping them."}},
        {"scan", {"PATH...", "Print the sizes, counts and explorer tree of a selection as one JSON object."}},
        {"shred", {"PATH...", "Overwrite, rename and delete files and folders."}},
        {"wipe-free", {"MOUNTPOINT", "Wipe the free space of a mounted volume."}},
        {"clean-temp",
         {"", "Shred the files of the log and cache folders, keeping every folder, and the Trash's items "
              "with their records. Unless categories are named: all four for root, the user's caches and the "
              "Trash for anyone else (the system's logs and caches need root)."}},
        {"empty-trash",
         {"", "Shred the Trash: every trashed item, then its record; an item that stays keeps it."}},
        {"volumes",
         {"", "List the mounted volumes the free-space wipe can take: mount point, name, size, free."}},
        {"verify-report",
         {"FILE...", "Check the signatures of deletion reports (PDF or HTML): valid and by whom, altered, "
                     "signed by an unknown key, or not signed."}},
    };
    return texts;
}

std::map<std::string, OptionText> makeOptionTexts()
{
    std::map<std::string, OptionText> texts{
        {"--method", {"ID", "the overwrite method (see: cindervault-cli methods)"}},
        {"--exclude", {"PATH", "leave PATH and everything below it (may be repeated)"}},
        {"--volume", {"delete|complete", "a whole volume among the paths: delete its files, or erase it"}},
        {"--report-dir", {"DIR", "save the deletion report into DIR"}},
        {"--report-format", {"html|pdf", "the format of the deletion report"}},
        {"--json", {"", "print the result as one JSON object"}},
        {"--yes", {"", "start without asking"}},
        {"--verbose", {"", "log the job's steps on standard error"}},
        {"--then-wipe-free", {"", "then wipe the free space of each copy-on-write volume that held a path"}},
        {"--no-report", {"", "make no deletion report (for scripts)"}},
        {"--no-ask-password",
         {"", "never ask for a password: root's work that needs one fails (for scripts)"}},
        {"--verify",
         {"", "read the last pass back from the device and compare it (--verify=all: every pass)"}},
        {"--snapshots", {"", "also delete the snapper snapshots of the root configuration (helper)"}},
        {"--trust",
         {"CERT", "also trust reports signed with this certificate (PEM or DER; may be repeated)"}},
        {"--qr", {"TEXT", "the text of the printed report's QR code, to match with the file"}},
        {"--help", {"", "print this help and exit"}},
    };
    // The options of clean-temp that name its categories, each described by its row.
    for (const TempCategories::Row& row : TempCategories::rows())
        texts.emplace(std::string(row.flag), OptionText{"", row.flagSummary});
    return texts;
}

const std::map<std::string, OptionText>& optionTexts()
{
    static const std::map<std::string, OptionText> texts = makeOptionTexts();
    return texts;
}

std::string& currentCommand()
{
    static std::string name;
    return name;
}

void printOption(const std::string& name, bool takesValue)
{
    const auto text = optionTexts().find(name);
    std::string left = name;
    if (takesValue)
        left += std::string(" ") + (text != optionTexts().end() ? text->second.value : "VALUE");
    std::printf("  %-28s %s\n", left.c_str(), text != optionTexts().end() ? text->second.summary : "");
}

} // namespace

void CommandHelp::setCommand(const std::string& name)
{
    currentCommand() = name;
}

void CommandHelp::print(const std::vector<std::string>& valueOptions,
                        const std::vector<std::string>& flagOptions)
{
    const std::string& name = currentCommand();
    const auto text = commandTexts().find(name);
    const std::string operands = text != commandTexts().end() ? text->second.operands : "[PATH...]";
    std::printf("usage: cindervault-cli %s%s%s%s\n", name.c_str(),
                valueOptions.empty() && flagOptions.empty() ? "" : " [OPTION]...",
                operands.empty() ? "" : " ", operands.c_str());
    if (text != commandTexts().end())
        std::printf("%s\n", text->second.summary);
    std::printf("\noptions:\n");
    for (const auto& option : valueOptions)
        printOption(option, true);
    for (const auto& option : flagOptions)
        printOption(option, false);
    printOption("--help", false);
    std::printf("\nSee cindervault-cli(1) for the exit status, the JSON fields and examples.\n");
}

} // namespace cv::cli
