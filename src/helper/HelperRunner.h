#pragma once

#include "common/Expected.h"
#include "helper/Authorizer.h"
#include "helper/SystemFolders.h"
#include "helper/VolumeReformatter.h"

#include <QString>
#include <QStringList>
#include <string>
#include <vector>

namespace cv {

// Runs the helper process: connects to its bus, serves /HelperTool under the helper's name with a
// given authorizer, and leaves when idle (first giving up the name, so that a call that comes just
// then starts a new helper instead of being lost) or when the bus goes away.
class HelperRunner
{
public:
    struct Options
    {
        QString busAddress; // empty: the system bus
        int idleExitMs = 30000;
        // Set by the test build of the helper only; no argument of the installed helper sets it.
        VolumeReformatter::StageHook reformatStageHook;
        // Set by the test build of the helper only: folders of the test's that stand for the system's.
        std::vector<std::string> systemFolders = SystemFolders::defaults();
    };

    // options with what "--bus ADDRESS" and "--idle-exit SECONDS" set; anything else is an error.
    static Expected<Options, QString> parseArguments(const QStringList& arguments, Options options);
    // Serves until the helper leaves; the process's QCoreApplication must exist. Returns the exit status.
    static int run(const Options& options, Authorizer& authorizer,
                   const std::vector<std::string>& toolSearchPath);
};

} // namespace cv
