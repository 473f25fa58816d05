#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <optional>

namespace cv {

// Names and writes report files in the report folder. A report lists every deleted path (and the
// machine's serial number when made as root): the file is the user's alone (0600), and so are
// the folders made for it (0700); a folder that exists keeps its mode. A report is written under a hidden
// temporary name, flushed, and then given its final name with a rename that never replaces an
// existing entry: a reader never sees half a report, and two reports that get the same name
// (the name has a resolution of one second on a 12-hour clock) both survive, the later one with
// a suffix before the extension ("deletionReport_2026_12_05_02-05-7_2.pdf").
class ReportFileWriter
{
public:
    static constexpr QStringView kPrefix = u"deletionReport_";
    static constexpr int kMaxSuffix = 10000;

    // "deletionReport_" and the local time of end as "yyyy_MM_dd_hh-mm-s": two-digit hour of the
    // 12-hour clock without AM/PM, seconds with one digit below 10. 14:05:07 on 5 December 2026
    // gives deletionReport_2026_12_05_02-05-7.
    static QString fileBaseName(const QDateTime& end);

    // Creates folder with its missing parents, each 0700; logs "Error: Create folder failed
    // <folder>" and returns false when it cannot.
    static bool ensureFolder(const QString& folder);

    // Writes data as a new file "<baseName>.<extension>" in folder, or "<baseName>_2.<extension>",
    // "_3", ... when that name is taken. Returns the full path, or nothing when the file could not
    // be written (logged); then nothing is left behind.
    static std::optional<QString> writeNewFile(const QString& folder, const QString& baseName,
                                               const QString& extension, const QByteArray& data);
};

} // namespace cv
