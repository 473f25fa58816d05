#pragma once

#include "common/Expected.h"

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

    // Each makes the error as a failed result, ready to be returned from an operation.
    static Unexpected<HelperError> invalidArgument(std::string message);
    static Unexpected<HelperError> failed(std::string message);
    static Unexpected<HelperError> toolMissing(std::string message);
};

// What an operation of the helper answers: done, or why not.
using HelperResult = Expected<void, HelperError>;

inline Unexpected<HelperError> HelperError::invalidArgument(std::string message)
{
    return Unexpected(HelperError{Kind::InvalidArgument, std::move(message)});
}

inline Unexpected<HelperError> HelperError::failed(std::string message)
{
    return Unexpected(HelperError{Kind::Failed, std::move(message)});
}

inline Unexpected<HelperError> HelperError::toolMissing(std::string message)
{
    return Unexpected(HelperError{Kind::ToolMissing, std::move(message)});
}

} // namespace cv
