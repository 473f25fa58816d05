#pragma once

#include <QString>

namespace cv {

// What became of a report that was to be saved: the saved file, or why there is none. The window
// and the command line show the failure as it stands.
struct ReportOutcome
{
    enum class State
    {
        Saved,    // saved in path
        NotSaved, // made, but automatic saving is off
        Failed,   // could not be made or saved; failure says why, in a few words
    };
    State state = State::Failed;
    QString path;
    QString failure;
    // Whether the saved report carries the user's signature: then the signer's fingerprint;
    // otherwise why it is not signed (the report is saved all the same).
    bool isSigned = false;
    QString signerFingerprint;
    QString unsignedReason;
};

} // namespace cv
