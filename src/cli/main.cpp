#include "cli/CommandHelp.h"
#include "cli/CommandLine.h"
#include "cli/Commands.h"
#include "cli/LineAmounts.h"
#include "cli/StoredSettings.h"
#include "translations/AppTranslator.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <map>

namespace {

void printUsage(std::FILE* out)
{
    std::fputs(
        "usage: cindervault-cli COMMAND [OPTIONS] [PATH...]\n"
        "\n"
        "commands:\n"
        "  methods                          list the overwrite methods: ID, passes, name\n"
        "  overwrite --method ID [--verify[=all]] PATH...\n"
        "                                   overwrite regular files in place, keeping them\n"
        "  scan [--exclude PATH]... PATH... sizes, counts and explorer tree of a selection, as JSON\n"
        "  shred [--method ID] [--exclude PATH]... [--volume delete|complete] [--json] [--yes]\n"
        "        [--then-wipe-free] [--verify[=all]] [REPORT OPTIONS] PATH...\n"
        "                                   overwrite, rename and delete files and folders\n"
        "        --then-wipe-free           then wipe the free space of each copy-on-write volume\n"
        "                                   (btrfs, bcachefs, ZFS, F2FS, NILFS2) that held them\n"
        "  wipe-free [--method ID] [--json] [--yes] [--verify[=all]] [REPORT OPTIONS] MOUNTPOINT\n"
        "                                   wipe the free space of a mounted volume\n"
        "  clean-temp [--logs] [--caches] [--user-caches] [--trash] [--snapshots] [--method ID]\n"
        "        [--json] [--yes] [--verify[=all]]\n"
        "                                   shred the files of the log and cache folders, keeping\n"
        "                                   every folder, and the Trash; when none is named: all\n"
        "                                   four for root, your caches and the Trash for a user\n"
        "  empty-trash [--method ID] [--json] [--yes] [--verify[=all]]\n"
        "                                   shred the Trash: every trashed item, then its record\n"
        "  volumes [--json]                 the mounted volumes whose free space can be wiped\n"
        "  verify-report [--trust CERT]... [--qr TEXT] [--json] FILE...\n"
        "                                   check the signatures of deletion reports (PDF, HTML)\n"
        "\n"
        "shred, wipe-free and clean-temp use method 16 (one random pass) unless --method or a\n"
        "stored default says otherwise, ask before they start unless --yes is given (and refuse\n"
        "without a terminal), and stop cleanly on Ctrl-C or SIGTERM (exit status 130). Root's\n"
        "work (protected files, a reformat, snapshots) goes to the privileged helper; polkit asks\n"
        "for a password in the desktop's agent or on this terminal, never with --no-ask-password.\n"
        "--version prints the version. Exit\n"
        "status: 0 done, 1 some files could not be overwritten or deleted, 2 usage error,\n"
        "130 cancelled.\n"
        "--verify reads the last pass of every file (and free-space fill file) back from the\n"
        "device and compares it with what was written; --verify=all reads back every pass. A file\n"
        "that differs is an error and is not deleted.\n"
        "With --json the result is one JSON object on standard output. Paths that are not valid\n"
        "UTF-8 show U+FFFD for each invalid byte; their exact bytes follow in Base64 in a sibling\n"
        "field (\"pathBase64\" beside \"path\", \"pathsBase64\" beside \"paths\").\n"
        "\n"
        "report options: after a job that was not cancelled, shred and wipe-free save a deletion\n"
        "report as the settings say (folder, format, automatic saving) and print its path. The\n"
        "report is signed with your key (made on first use); verify-report checks it.\n"
        "  --report-dir DIR                 save it in DIR\n"
        "  --report-format html|pdf         save it in this format\n"
        "  --no-report                      make no report (for scripts)\n"
        "\n"
        "cindervault-cli COMMAND --help lists the options of a command; cindervault-cli(1) has it all.\n",
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
        {"shred", cv::cli::runShredCommand},
        {"wipe-free", cv::cli::runWipeFreeCommand},
        {"clean-temp", cv::cli::runCleanTempCommand},
        {"empty-trash", cv::cli::runEmptyTrashCommand},
        {"volumes", cv::cli::runVolumesCommand},
        {"verify-report", cv::cli::runVerifyReportCommand},
    };

    if (argc < 2) {
        printUsage(stderr);
        return cv::kExitUsage;
    }
    const std::string name = argv[1];
    if (name == "--help" || name == "-h" || name == "help") {
        printUsage(stdout);
        return cv::kExitOk;
    }
    if (name == "--version") {
        std::printf("cindervault-cli %s\n", CINDERVAULT_VERSION);
        return cv::kExitOk;
    }
    const auto command = commands.find(name);
    if (command == commands.end()) {
        cv::cli::printError("unknown command " + name);
        printUsage(stderr);
        return cv::kExitUsage;
    }
    cv::cli::CommandHelp::setCommand(name);
    // English unless the stored language is German, whatever the desktop's language: output that
    // scripts read should not change with the terminal's locale.
    if (cv::cli::StoredSettings::germanTexts())
        cv::cli::LineAmounts::setEngineLanguage(
            cv::AppTranslator::bindEngineTexts(QStringLiteral("de")).toStdString());
    else
        cv::AppTranslator::bindLanguageLookup(); // a report follows its own language all the same
    return command->second(std::vector<std::string>(argv + 2, argv + argc));
}
