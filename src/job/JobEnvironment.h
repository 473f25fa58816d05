#pragma once

#include "engine/HelperToolClient.h"
#include "job/SleepInhibitor.h"
#include "targets/VolumeProbe.h"

#include <chrono>
#include <linux/ioprio.h>
#include <memory>
#include <optional>
#include <string>

namespace cv {

// What a shred job takes from the program that runs it, beside its targets, method and options:
// the services it may call and the place and pace it runs at. The window fills one
// (AppServices::jobEnvironment) and the command line one (JobRunner::environment); tests fill
// theirs with stand-ins. A value left empty means the job goes without that service.
struct JobEnvironment
{
    // Root's work (protected files of the selection, reformatting); null: nobody does it, and
    // such files and volumes fail with their reasons.
    HelperToolClient* helperTool = nullptr;
    // Keeps the machine awake while the job runs; the job holds it as long as it holds its
    // environment. Null: the machine may sleep, which the job logs.
    std::shared_ptr<SleepInhibitor> sleepInhibitor;
    // Where volumes are looked up; tests stand in for the system.
    VolumeProbe volumeProbe = VolumeProbe::system();
    // The fill folder of the startup volume lies below this home folder; empty: the free-space
    // wipe's own choice ($HOME).
    std::string homeFolder;
    // A sleep after each file of a folder walk, when one is asked for; without it the walk goes
    // straight on to the next file.
    std::chrono::microseconds filePause{0};
    // The nice value the thread that runs the job takes when the job starts; empty: it keeps
    // the priority it has.
    std::optional<int> niceness;
    // The thread that runs the job also runs as batch work (SCHED_BATCH: no wake-up preference
    // over interactive threads) with the lowest best-effort I/O priority, the way long background
    // work runs on Linux. False: it keeps the scheduling class and I/O priority it has.
    bool background = false;

    // The nice value of a job that runs in the background of a desktop, which stays responsive.
    static constexpr int kBackgroundNiceness = 10;
    // The I/O priority of a background job: the best-effort class at its lowest level.
    static constexpr int kBackgroundIoPriority = IOPRIO_PRIO_VALUE(IOPRIO_CLASS_BE, 7);

    // The home folder of the user the program runs as: $HOME, else the user's entry in the
    // password database, else "/". A program started without HOME (by a service, with env -i)
    // still finds the folder that is the user's own.
    static std::string userHomeFolder();
};

} // namespace cv
