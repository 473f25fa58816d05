// The manual pages against the programs: every command and every option the command line's help
// lists is described in cindervault-cli(1), under its command, and both pages format without
// warnings.
#include "ProcessRunner.h"

#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <sstream>
#include <unistd.h>

using cv::test::runProcess;

namespace {

const std::string kCliPage = CINDERVAULT_DOCS_DIR "/cindervault-cli.1";

std::string readFile(const std::string& path)
{
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The page as a reader sees its words: hyphens unescaped, font changes dropped.
std::string plainRoff(std::string text)
{
    text = std::regex_replace(text, std::regex(R"(\\f[BIRP])"), "");
    text = std::regex_replace(text, std::regex(R"(\\-)"), "-");
    return std::regex_replace(text, std::regex(R"(\\&)"), "");
}

// The part of the page under ".SS command ...", up to the next subsection or section.
std::string subsection(const std::string& page, const std::string& command)
{
    std::istringstream lines(page);
    std::string line;
    std::string found;
    bool inside = false;
    while (std::getline(lines, line)) {
        if (line.rfind(".SS ", 0) == 0 || line.rfind(".SH ", 0) == 0) {
            if (inside)
                break;
            inside = line.rfind(".SS " + command + " ", 0) == 0 || line == ".SS " + command;
        }
        if (inside)
            found += line + '\n';
    }
    return found;
}

bool namesOption(const std::string& text, const std::string& option)
{
    return std::regex_search(text, std::regex(option + "([^a-z0-9-]|$)"));
}

// The words of lines that begin, indented, with a lowercase word or an option: the commands of
// the general help, the options of a command's help.
std::vector<std::string> listed(const std::string& help, const std::string& pattern)
{
    std::vector<std::string> names;
    const std::regex line("(^|\n)  (" + pattern + ")");
    for (auto it = std::sregex_iterator(help.begin(), help.end(), line); it != std::sregex_iterator(); ++it)
        names.push_back((*it)[2]);
    return names;
}

} // namespace

TEST(CliManual, DescribesEveryCommandAndOptionTheHelpLists)
{
    const std::string page = plainRoff(readFile(kCliPage));
    ASSERT_FALSE(page.empty()) << kCliPage;

    const auto usage = runProcess({CINDERVAULT_CLI, "--help"});
    ASSERT_EQ(usage.exitCode, 0);
    const auto commands = listed(usage.out, "[a-z][a-z-]*");
    ASSERT_GE(commands.size(), 5u) << usage.out;
    for (const auto& command : commands) {
        const std::string section = subsection(page, command);
        if (section.empty()) {
            ADD_FAILURE() << kCliPage << " has no subsection \".SS " << command
                          << "\" under COMMANDS for the command " << command;
            continue;
        }
        const auto help = runProcess({CINDERVAULT_CLI, command, "--help"});
        EXPECT_EQ(help.exitCode, 0) << command << " --help";
        const auto options = listed(help.out, "--[a-z0-9-]+");
        EXPECT_FALSE(options.empty()) << command << " --help lists no options:\n" << help.out;
        for (const auto& option : options) {
            // --help is described once for every command.
            const std::string& where = option == "--help" ? page : section;
            EXPECT_TRUE(namesOption(where, option))
                << kCliPage << ": the subsection of \"" << command << "\" does not describe " << option
                << ", which \"cindervault-cli " << command << " --help\" lists (add a .TP entry for it)";
        }
    }
}

TEST(CliManual, PagesFormatWithoutWarnings)
{
    if (access("/usr/bin/man", X_OK) != 0)
        GTEST_SKIP() << "man is not installed";
    for (const std::string& page : {kCliPage, std::string(CINDERVAULT_DOCS_DIR "/cindervault.1")}) {
        const auto result =
            runProcess({"/usr/bin/man", "--warnings", "-E", "UTF-8", "-l", "-Tutf8", "-Z", page});
        EXPECT_EQ(result.exitCode, 0) << page << "\n" << result.err;
        EXPECT_EQ(result.err, "") << page;
    }
}
