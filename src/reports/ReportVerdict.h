#pragma once

#include <QDateTime>
#include <QString>

namespace cv {

// What checking the signature of a report file found.
struct ReportVerdict
{
    enum class State
    {
        Valid,      // the signature holds, over the whole file, by the user's own or a trusted key
        UnknownKey, // the signature holds, but by a key that is neither the user's nor trusted
        Altered,    // the file changed after it was signed, or its signature is damaged
        NotSigned,  // the file carries no signature
        Unreadable, // the file cannot be read as a report
    };
    State state = State::Unreadable;
    QString signerName;  // the signing certificate's holder
    QString fingerprint; // SHA-256 of the signing certificate, "AB:CD:..."
    QDateTime signedAt;  // the signing time the signature carries (UTC)
    QString detail;      // for every state but Valid: what was found, in a few words
    // What the signed report says of itself, for matching a printed QR code: its ID and the
    // digest of its content (see ReportFactory::contentDigest).
    QString reportId;
    QString contentDigest;
};

} // namespace cv
