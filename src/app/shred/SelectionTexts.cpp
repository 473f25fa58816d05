#include "app/shred/SelectionTexts.h"

#include "app/AmountText.h"
#include "app/Palette.h"
#include "app/QuestionText.h"

#include <QFile>
#include <QStringList>

#include <algorithm>
#include <climits>

using namespace Qt::StringLiterals;

namespace cv {

QString SelectionTexts::summaryText(const PathCollection& collection)
{
    // The count is every file, hidden ones included, as the details view counts them; the hidden
    // entries (files, folders, links) are named apart as part of it.
    const auto files = static_cast<int>(std::min<std::uint64_t>(collection.fileCount(), INT_MAX));
    QString text =
        tr("Selected:\n%1, %Ln file(s)", nullptr, files).arg(AmountText::bytes(collection.totalSize()));
    if (collection.hiddenCount() > 0)
        text +=
            u'\n' + tr("(%1 hidden included)").arg(AmountText::count(std::int64_t(collection.hiddenCount())));
    return text;
}

QString SelectionTexts::summaryHtml(const PathCollection& collection)
{
    const QString text = summaryText(collection);
    const qsizetype firstBreak = text.indexOf(u'\n');
    const qsizetype hiddenBreak = collection.hiddenCount() > 0 ? text.lastIndexOf(u"\n("_s) : text.size();
    const QString grey =
        u"<span style=\"color: %1;\">%2</span>"_s.arg(Palette::css(Palette::secondaryText()));
    return grey.arg(QuestionText::html(text.left(firstBreak))) +
           QuestionText::html(text.mid(firstBreak, hiddenBreak - firstBreak)) +
           (hiddenBreak < text.size() ? grey.arg(QuestionText::html(text.mid(hiddenBreak))) : QString());
}

QString SelectionTexts::volumeTitle(const VolumeFacts& facts)
{
    const QString mountPoint = QFile::decodeName(QByteArray::fromStdString(facts.mountPoint));
    if (facts.label.empty())
        return tr("Volume without a label, mounted at %1").arg(mountPoint);
    return tr("“%1”, mounted at %2").arg(QString::fromStdString(facts.label), mountPoint);
}

QString SelectionTexts::volumeDetails(const VolumeFacts& facts)
{
    QStringList parts;
    if (!facts.device.empty())
        parts << QFile::decodeName(QByteArray::fromStdString(facts.device));
    if (facts.size > 0)
        parts << AmountText::bytes(static_cast<std::int64_t>(facts.size));
    if (!facts.fileSystem.empty())
        parts << QString::fromStdString(facts.fileSystem);
    return parts.join(u" · "_s);
}

QString SelectionTexts::volumeQuestion(VolumeOption option, const VolumeFacts& facts)
{
    QString what;
    switch (option) {
    case VolumeOption::CompleteErase:
        what = tr("This erases the whole volume and formats it afresh:");
        break;
    case VolumeOption::DeleteFiles:
        what = tr("This deletes every file on the volume:");
        break;
    case VolumeOption::FreeSpace:
    case VolumeOption::None:
        what = tr("This wipes the free space of the volume:");
        break;
    }
    const QString details = volumeDetails(facts);
    return what + u'\n' + volumeTitle(facts) + (details.isEmpty() ? QString() : QString(u'\n') + details);
}

QString SelectionTexts::filesQuestion(const PathCollection& collection)
{
    // The first three locations by name; the rest by number.
    constexpr qsizetype kNamed = 3;
    const std::vector<std::string>& paths = collection.paths();
    QStringList names;
    for (std::size_t i = 0; i < paths.size() && names.size() < kNamed; ++i) {
        const QString path = QFile::decodeName(QByteArray::fromStdString(paths[i]));
        const QString name = path.section(u'/', -1, -1, QString::SectionSkipEmpty);
        names << tr("“%1”").arg(name.isEmpty() ? path : name);
    }
    QString items = names.join(u", "_s);
    const auto more =
        static_cast<int>(std::min<std::size_t>(paths.size() - std::size_t(names.size()), INT_MAX));
    if (more > 0)
        items = tr("%1 and %Ln more item(s)", nullptr, more).arg(items);
    const auto files = static_cast<int>(std::min<std::uint64_t>(collection.fileCount(), INT_MAX));
    return tr("This destroys %1: %Ln file(s), %2.", nullptr, files)
        .arg(items, AmountText::bytes(collection.totalSize()));
}

QString SelectionTexts::optionTitle(VolumeOption option)
{
    switch (option) {
    case VolumeOption::FreeSpace:
        return tr("Freespace Erase only");
    case VolumeOption::DeleteFiles:
        return tr("Only delete files on Volume");
    case VolumeOption::CompleteErase:
        return tr("Complete Erase");
    case VolumeOption::None:
        break;
    }
    return {};
}

} // namespace cv
