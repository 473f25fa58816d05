#pragma once

#include "reports/ReportSignatureCache.h"

#include <QAbstractListModel>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace cv {

// The saved reports of the report folder, as the report screen shows them: one row per direct
// entry whose name begins with "deletionReport" (ignoring case and diacritics), the newest first
// (by the time the file was made; the name decides between equal times). Its owner has it reload
// when a report was generated (loadFiles) and when the report folder changes
// (followReportFolder); deletes on request.
class SavedReportsModel : public QAbstractListModel
{
    Q_OBJECT

public:
    enum Role
    {
        PathRole = Qt::UserRole + 1, // the report's full path, folder "/" name
        DateTextRole,                // its creation date "dd-MM-yyyy", or "--"
        TimeTextRole,                // its creation time "HH:mm", or "--"
        SignatureStateRole,          // its signature's state (ReportVerdict::State as int), checked once
                                     // per size and modification time (ReportSignatureCache) on a
                                     // worker; nothing (an invalid QVariant) until the check is in
    };

    static constexpr QStringView kPrefix = u"deletionReport";

    // folder tells the report folder as it is now, each time the list is read.
    // keyFolder holds the user's signing key, whose signatures count as valid.
    explicit SavedReportsModel(std::function<QString()> folder, QObject* parent = nullptr);
    SavedReportsModel(std::function<QString()> folder, const QString& keyFolder, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QHash<int, QByteArray> roleNames() const override;

    // Rereads the report folder (creating it when absent; a failure is logged) and the user's
    // certificate.
    void loadFiles();
    // Reads the user's certificate again (the key may have been replaced) and has the views ask for
    // the signature states anew; unchanged files keep their cached state.
    void refreshSignatures();
    // Reloads when the report folder is now another than the one listed.
    void followReportFolder();
    // The file names shown, in display order, and the folder they were read from.
    const QStringList& files() const { return m_files; }
    const QString& folder() const { return m_folder; }
    QString pathAt(int row) const;
    const ReportSignatureCache& signatures() const { return m_signatures; }

    // Removes the files of the given rows (a plain removal, not a shred) and reloads. Files that
    // cannot be removed stay listed; that is logged, not reported.
    void removeReports(const QList<int>& rows);

    // Whether a name begins with "deletionReport", ignoring case and diacritics.
    static bool hasReportPrefix(const QString& name);
    // Whether a report opens in the desktop's default application (extension exactly "pdf")
    // rather than in the review window.
    static bool opensExternally(const QString& path);
    // The creation date and time texts of a file: its birth time where the file system keeps
    // one, else its modification time (a report is never modified after it is saved); "--" when
    // neither can be read.
    // When the report at path was made (its birth time, else its last change); invalid when it
    // is not there.
    static QDateTime createdAt(const QString& path);
    static QString dateText(const QString& path);
    static QString timeText(const QString& path);

private:
    // Tells the views that the signature state of the report at path is in.
    void signatureArrived(const QString& path);

    std::function<QString()> m_reportFolder;
    QString m_folder;
    QStringList m_files;
    // Filled while the cards are drawn, so only the reports shown are checked.
    mutable ReportSignatureCache m_signatures;
};

} // namespace cv
