#pragma once

#include "engine/ShredResult.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace cv {

// What the card of a saved report shows beside its date: how the job ended, in the report's own
// words (the key of its status title: "Success", "Errors", "Canceled", "Old content may remain"),
// and what it was aimed at (the name of its first target and how many more there were). Kept
// with the report as extended attributes of its file ("user.cindervault.*"), so that the report
// list reads them without opening the PDF, and a report moved within its file system keeps them.
// On a file system without extended attributes the report is saved all the same; its card then
// shows the date alone.
struct ReportCardFacts
{
    QString statusKey;     // a key of the report's texts (ReportFactory::statusKey)
    QString firstTarget;   // the last part of the first target's path ("/" for the root)
    std::int64_t more = 0; // targets beyond the first

    static ReportCardFacts of(const ShredResult& result);

    // Stores the facts with the file at path; false when the file system keeps no extended
    // attributes or the file cannot be written (errnoText then says why).
    bool writeTo(const QString& path, QString* errnoText = nullptr) const;
    // The facts kept with the file at path, or nothing (a report saved without them, elsewhere,
    // or by an earlier version).
    static std::optional<ReportCardFacts> readFrom(const QString& path);

    bool operator==(const ReportCardFacts&) const = default;
};

} // namespace cv
