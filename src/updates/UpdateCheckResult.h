#pragma once

#include "updates/AppcastItem.h"

#include <QDateTime>
#include <QString>

namespace cv {

// What one update check found.
struct UpdateCheckResult
{
    enum class Outcome
    {
        NotConfigured,   // this build names no update feed (or a refused one); nothing was asked
        UpdateAvailable, // the feed's newest version is newer than the running one
        UpToDate,        // it is not (or the feed lists no release)
        Failed,          // the feed could not be loaded or read
    };

    Outcome outcome = Outcome::NotConfigured;
    AppcastItem newest; // the feed's newest release (UpdateAvailable, and UpToDate when it has one)
    QString runningVersion;
    QString failure;     // NotConfigured, Failed: a sentence for the user (translated)
    QDateTime checkedAt; // when the check ended (UTC)

    bool updateAvailable() const { return outcome == Outcome::UpdateAvailable; }
};

} // namespace cv
