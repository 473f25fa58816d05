#pragma once

#include "job/VolumeOption.h"
#include "targets/PathCollection.h"
#include "targets/VolumeProbe.h"

#include <QCoreApplication>
#include <QString>

#include <vector>

namespace cv {

// What the shred screen says about the selection: the summary of a collection and the names and
// warnings of the volumes it touches. Texts the confirmation and the temporary-data screen reuse.
// They keep the shred screen's translation context, where their translations live.
class SelectionTexts
{
    Q_DECLARE_TR_FUNCTIONS(cv::DropFilesViewController)

public:
    // The summary for a collection, as plain text ("Selected:\n12 MB, 3 files\n(1 hidden included)").
    static QString summaryText(const PathCollection& collection);
    // The same as rich text: the first line grey, the amounts in the label's colour, the hidden
    // count grey again.
    static QString summaryHtml(const PathCollection& collection);
    // The volume a job works on, as the screen names it: "“label”, mounted at /mount/point" (or
    // without a label), then device, size and file system on a line of their own.
    static QString volumeTitle(const VolumeFacts& facts);
    static QString volumeDetails(const VolumeFacts& facts);
    // What the confirmation says a job with option does to that volume, naming it fully.
    static QString volumeQuestion(VolumeOption option, const VolumeFacts& facts);
    // What the confirmation says a job over files and folders destroys: the first items by name,
    // how many more, and the count and size of the files ("“a.txt”, “photos” and 3 more items:
    // 120 files, 1.20 GB").
    static QString filesQuestion(const PathCollection& collection);
    // The chosen volume option under the volume's picture; empty for none.
    static QString optionTitle(VolumeOption option);
};

} // namespace cv
