#pragma once

#include <string>

class QCoreApplication;

namespace cv::cli {

// The one Qt application object of the command line, made only when a command needs Qt's event
// loop: the report step (which runs the renderer program as a child process) or the privileged
// helper's D-Bus client. No window is ever shown.
class CliApplication
{
public:
    // The existing application object, or a new QCoreApplication kept until the process ends.
    static QCoreApplication* ensure();

    // Has the application object made here destroyed at exit ahead of the statics made since
    // (exit handlers run in reverse order of registration).
    static void releaseAtExit();
};

} // namespace cv::cli
