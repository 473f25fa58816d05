#include "app/QuestionText.h"

using namespace Qt::StringLiterals;

namespace cv {

QString QuestionText::html(const QString& text)
{
    return text.toHtmlEscaped().replace(u'\n', u"<br>"_s);
}

QString QuestionText::freeSpaceConsequence()
{
    return tr("No file is deleted: only the free space is overwritten, so that files deleted before "
              "cannot be recovered. Do you want to continue?");
}

} // namespace cv
