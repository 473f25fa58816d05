#include "app/CopyOnWriteText.h"

#include <QCoreApplication>
#include <QStringList>

namespace cv {

QString CopyOnWriteText::forVolumes(const std::vector<TargetVolume>& volumes, bool shortened)
{
    // The texts were written for the shred screen and are translated under its name.
    QStringList lines;
    for (const TargetVolume& volume : volumes) {
        const QString where = shortened ? shortenedPath(QString::fromStdString(volume.mountPoint))
                                        : QString::fromStdString(volume.mountPoint);
        lines
            << QCoreApplication::translate(
                   "cv::DropFilesViewController",
                   "%1 has a %2 file system, which writes changes to new places (copy-on-write). Overwriting "
                   "files in place cannot reach the earlier copies it keeps; the free space of this volume "
                   "must be wiped afterwards to finish the job.")
                   .arg(where, QString::fromStdString(volume.fileSystem));
        if (volume.snapshots)
            lines << QCoreApplication::translate(
                         "cv::DropFilesViewController",
                         "%1 has snapshots (snapper): they keep earlier copies of files until the snapshots "
                         "are deleted, and no wipe reaches them.")
                         .arg(where);
    }
    return lines.join(u'\n');
}

QString CopyOnWriteText::shortenedPath(const QString& path)
{
    constexpr qsizetype kMost = 48;
    if (path.size() <= kMost)
        return path;
    return path.left(kMost / 3) + u'…' + path.right(kMost - kMost / 3 - 1);
}

} // namespace cv
