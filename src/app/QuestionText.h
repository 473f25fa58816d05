#pragma once

#include <QCoreApplication>
#include <QString>

namespace cv {

// Texts that every screen and dialog that asks before destroying something shares. They keep the
// shred screen's translation context, where their translations live.
class QuestionText
{
    Q_DECLARE_TR_FUNCTIONS(cv::DropFilesViewController)

public:
    // Plain text for a rich-text label: escaped, its line breaks kept.
    static QString html(const QString& text);
    // What follows for a free-space wipe, which deletes no file: said in place of the usual
    // "cannot be recovered".
    static QString freeSpaceConsequence();
};

} // namespace cv
