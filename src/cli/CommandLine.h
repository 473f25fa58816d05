#pragma once

#include "common/ExitStatus.h"
#include "common/Expected.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace cv::cli {

// Splits a command's arguments into options and operands. Options take their value as the next
// argument or after "=" ("--method 17", "--method=17"), never empty; "--" ends the options, so
// paths that begin with "-" can be given. A few flags take an optional value after "="
// ("--verify=all"); value() then has it. "--help" prints the command's help (CommandHelp) and
// ends the program.
class CommandLine
{
public:
    // valueOptions: the options that take a value; flagOptions: those that do not.
    CommandLine(const std::vector<std::string>& args, const std::vector<std::string>& valueOptions,
                const std::vector<std::string>& flagOptions);

    bool ok() const { return m_error.empty(); }
    const std::string& error() const { return m_error; }

    // The last value given for an option, if any.
    std::optional<std::string> value(const std::string& option) const;
    // Every value given for a repeatable option, in order.
    std::vector<std::string> values(const std::string& option) const;
    bool flag(const std::string& option) const;
    const std::vector<std::string>& operands() const { return m_operands; }

    // Parses a whole unsigned decimal number; nothing for anything else.
    static std::optional<std::uint64_t> parseUnsigned(const std::string& text);

private:
    std::vector<std::pair<std::string, std::string>> m_values;
    std::vector<std::string> m_flags;
    std::vector<std::string> m_operands;
    std::string m_error;
};

// Prints "cindervault-cli: message" on standard error.
void printError(const std::string& message);

// Prints the error of a failed outcome (printError) and says whether there was one.
template <typename T> bool printIfError(const Expected<T, std::string>& outcome)
{
    if (outcome)
        return false;
    printError(outcome.error());
    return true;
}

} // namespace cv::cli
