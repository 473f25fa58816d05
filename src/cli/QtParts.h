#pragma once

#include "engine/HelperToolClient.h"

#include <memory>
#include <string>

namespace cv::cli {

// The part of the command line that needs Qt's D-Bus client and its event loop on a thread of its
// own: the privileged helper's client, which only a job that reformats a volume needs. It lives in
// a module loaded only then, so that every other command starts without it.
class QtParts
{
public:
    // The loaded module, or null (with the reason in whyNot) when it cannot be loaded.
    static QtParts* load(std::string* whyNot);

    // The privileged helper's client on a thread of its own; null with the reason in whyNot.
    std::unique_ptr<HelperToolClient> makeHelper(std::string* whyNot) const;

private:
    using MakeHelper = HelperToolClient* (*)(std::string*, int);

    MakeHelper m_makeHelper = nullptr;
};

} // namespace cv::cli
