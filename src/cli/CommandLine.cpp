#include "cli/CommandLine.h"

#include "cli/CommandHelp.h"
#include "cli/TerminalText.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>

namespace cv::cli {

namespace {

bool contains(const std::vector<std::string>& list, const std::string& item)
{
    return std::find(list.begin(), list.end(), item) != list.end();
}

// Flags that may carry a value after "=" (--verify=all); given alone they stand for their default.
bool takesAttachedValue(const std::string& name)
{
    return name == "--verify";
}

} // namespace

CommandLine::CommandLine(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
                         const std::vector<std::string>& flagOptions)
{
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            m_operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        // Every command parses its arguments before it does anything, so help ends the program
        // here, with nothing started and nothing touched.
        if (arg == "--help") {
            CommandHelp::print(valueOptions, flagOptions);
            std::fflush(stdout);
            std::exit(kExitOk);
        }
        const auto equals = arg.find('=');
        const std::string name = arg.substr(0, equals);
        if (contains(valueOptions, name)) {
            // An empty value (an unset shell variable) means nothing to any option: for a path it
            // would name the working folder.
            std::string value;
            if (equals != std::string::npos)
                value = arg.substr(equals + 1);
            else if (i + 1 < args.size())
                value = args[++i];
            if (value.empty()) {
                m_error = "option " + name + " needs a value";
                return;
            }
            m_values.emplace_back(name, std::move(value));
        } else if (contains(flagOptions, name) && equals == std::string::npos) {
            m_flags.push_back(name);
        } else if (contains(flagOptions, name) && takesAttachedValue(name) && equals + 1 < arg.size()) {
            m_flags.push_back(name);
            m_values.emplace_back(name, arg.substr(equals + 1));
        } else {
            m_error = "unknown option " + arg;
            return;
        }
    }
}

std::optional<std::string> CommandLine::value(const std::string& option) const
{
    for (auto it = m_values.rbegin(); it != m_values.rend(); ++it) {
        if (it->first == option)
            return it->second;
    }
    return std::nullopt;
}

std::vector<std::string> CommandLine::values(const std::string& option) const
{
    std::vector<std::string> found;
    for (const auto& [name, value] : m_values) {
        if (name == option)
            found.push_back(value);
    }
    return found;
}

bool CommandLine::flag(const std::string& option) const
{
    return contains(m_flags, option);
}

std::optional<std::uint64_t> CommandLine::parseUnsigned(const std::string& text)
{
    std::uint64_t number = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, number);
    if (text.empty() || ec != std::errc() || ptr != end)
        return std::nullopt;
    return number;
}

void printError(const std::string& message)
{
    std::fprintf(stderr, "cindervault-cli: %s\n", forStream(stderr, message).c_str());
}

} // namespace cv::cli
