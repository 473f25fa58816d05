#pragma once

#include <QDateTime>
#include <QString>
#include <QUrl>

namespace cv {

// One release as the update feed describes it (one <item> of the appcast).
struct AppcastItem
{
    QString title;
    QString version;           // the version compared with the running one (sparkle:version)
    QString displayVersion;    // what the user is shown: sparkle:shortVersionString, else version
    QDateTime publicationDate; // invalid when the feed gives none that can be read
    QUrl releaseNotesLink;     // https only; empty when the feed gives none (or another kind)
    QUrl enclosureUrl;         // the package itself; installing it is left to the package manager
    qint64 enclosureLength = 0;
    QString enclosureType;
};

} // namespace cv
