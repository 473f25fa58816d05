#include "reports/SavedReportsModel.h"

#include "common/Log.h"
#include "reports/ReportFileWriter.h"
#include "reports/ReportSigningKey.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <utility>
#include <vector>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// Lower case without diacritics: "Délétion" and "DELETION" both give "deletion".
QString foldedForComparison(const QString& text)
{
    const QString decomposed = text.normalized(QString::NormalizationForm_KD);
    QString out;
    out.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (!c.isMark())
            out += c;
    }
    return out.toCaseFolded();
}

QDateTime creationTime(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QDateTime();
    const QDateTime birth = info.birthTime();
    return birth.isValid() ? birth : info.lastModified();
}

} // namespace

SavedReportsModel::SavedReportsModel(std::function<QString()> folder, QObject* parent)
    : SavedReportsModel(std::move(folder), ReportSigningKey::defaultFolder(), parent)
{}

SavedReportsModel::SavedReportsModel(std::function<QString()> folder, const QString& keyFolder,
                                     QObject* parent)
    : QAbstractListModel(parent), m_reportFolder(std::move(folder)), m_signatures(keyFolder)
{
    connect(&m_signatures, &ReportSignatureCache::stateArrived, this, &SavedReportsModel::signatureArrived);
}

void SavedReportsModel::followReportFolder()
{
    // A model that has listed nothing yet has nothing to follow (and makes no folder).
    if (!m_folder.isEmpty() && m_reportFolder() != m_folder)
        loadFiles();
}

void SavedReportsModel::refreshSignatures()
{
    m_signatures.refreshTrust();
    if (!m_files.isEmpty())
        emit dataChanged(index(0), index(static_cast<int>(m_files.size()) - 1), {SignatureStateRole});
}

void SavedReportsModel::signatureArrived(const QString& path)
{
    // A report of another folder (the list was reloaded meanwhile) is not shown.
    if (!path.startsWith(m_folder + u'/'))
        return;
    const auto row = m_files.indexOf(path.mid(m_folder.size() + 1));
    if (row >= 0)
        emit dataChanged(index(int(row)), index(int(row)), {SignatureStateRole});
}

int SavedReportsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_files.size());
}

QVariant SavedReportsModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_files.size())
        return QVariant();
    switch (role) {
    case Qt::DisplayRole:
        return m_files.at(index.row());
    case PathRole:
        return pathAt(index.row());
    case DateTextRole:
        return dateText(pathAt(index.row()));
    case TimeTextRole:
        return timeText(pathAt(index.row()));
    case SignatureStateRole:
        if (const auto state = m_signatures.stateOf(pathAt(index.row())))
            return static_cast<int>(*state);
        return QVariant();
    default:
        return QVariant();
    }
}

QHash<int, QByteArray> SavedReportsModel::roleNames() const
{
    QHash<int, QByteArray> names = QAbstractListModel::roleNames();
    names.insert(PathRole, "path");
    names.insert(DateTextRole, "dateText");
    names.insert(TimeTextRole, "timeText");
    names.insert(SignatureStateRole, "signatureState");
    return names;
}

void SavedReportsModel::loadFiles()
{
    beginResetModel();
    m_folder = m_reportFolder();
    m_signatures.refreshTrust();
    ReportFileWriter::ensureFolder(m_folder);
    m_files.clear();
    const QStringList entries = QDir(m_folder).entryList(
        QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Unsorted);
    std::vector<std::pair<QDateTime, QString>> reports;
    for (const QString& name : entries) {
        if (hasReportPrefix(name))
            reports.emplace_back(creationTime(m_folder + u'/' + name), name);
    }
    // The report of the last job comes first, where the user looks for it.
    std::sort(reports.begin(), reports.end(), [](const auto& a, const auto& b) {
        return a.first != b.first ? a.first > b.first : a.second > b.second;
    });
    for (const auto& report : reports)
        m_files.append(report.second);
    endResetModel();
}

QString SavedReportsModel::pathAt(int row) const
{
    if (row < 0 || row >= m_files.size())
        return QString();
    return m_folder + u'/' + m_files.at(row);
}

void SavedReportsModel::removeReports(const QList<int>& rows)
{
    QStringList paths;
    for (const int row : rows) {
        const QString path = pathAt(row);
        if (!path.isEmpty())
            paths.append(path);
    }
    for (const QString& path : paths) {
        QFile file(path);
        if (file.exists() && !file.remove())
            logMessage("Report could not be removed: ", path.toStdString(), ": ",
                       file.errorString().toStdString());
    }
    loadFiles();
}

bool SavedReportsModel::hasReportPrefix(const QString& name)
{
    static const QString prefix = foldedForComparison(kPrefix.toString());
    return foldedForComparison(name).startsWith(prefix);
}

bool SavedReportsModel::opensExternally(const QString& path)
{
    return QFileInfo(path).suffix() == u"pdf"_s;
}

QDateTime SavedReportsModel::createdAt(const QString& path)
{
    return creationTime(path);
}

QString SavedReportsModel::dateText(const QString& path)
{
    const QDateTime time = creationTime(path);
    return time.isValid() ? time.toLocalTime().toString(u"dd-MM-yyyy"_s) : u"--"_s;
}

QString SavedReportsModel::timeText(const QString& path)
{
    const QDateTime time = creationTime(path);
    return time.isValid() ? time.toLocalTime().toString(u"HH:mm"_s) : u"--"_s;
}

} // namespace cv
