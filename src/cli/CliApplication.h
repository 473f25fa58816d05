#pragma once

#include <string>

class QApplication;

namespace cv::cli {

// The one Qt application object of the command line, made only when a command needs Qt's event
// loop: the report's web engine, or the privileged helper's D-Bus client. It is a QApplication on
// the offscreen platform, since the web engine needs one; no window is ever shown.
class CliApplication
{
public:
    // The existing QApplication, or a new one kept until the process ends; null (with the reason
    // in whyNot) when another kind of application object exists.
    static QApplication* ensure(std::string* whyNot = nullptr);

    // Has the application object destroyed at exit ahead of the statics the web engine made since
    // (exit handlers run in reverse order of registration); call once the web engine has been used.
    static void releaseAtExit();
};

} // namespace cv::cli
