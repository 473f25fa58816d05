#pragma once

#include <optional>
#include <string>

namespace cv {

// Why one of the helper's operations did not happen, in words for the caller; the kind becomes the
// D-Bus error name of the answer.
struct HelperError
{
    enum class Kind
    {
        InvalidArgument, // the request itself is refused
        Failed,          // the operation was tried and failed
        ToolMissing,     // a program the operation needs is not installed
    };

    Kind kind = Kind::Failed;
    std::string message;

    static HelperError invalidArgument(std::string message)
    {
        return {Kind::InvalidArgument, std::move(message)};
    }
    static HelperError failed(std::string message) { return {Kind::Failed, std::move(message)}; }
    static HelperError toolMissing(std::string message) { return {Kind::ToolMissing, std::move(message)}; }
};

// What an operation answers: nothing on success.
using HelperOutcome = std::optional<HelperError>;

} // namespace cv
