#pragma once

#include "reports/ReportVerdict.h"

#include <QDateTime>
#include <QHash>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QThreadPool>

#include <optional>

namespace cv {

// The signature states of the saved reports, as the report list shows them: each file is checked
// (ReportVerifier, trusting the user's own key) the first time its state is asked for, and again
// only when its size or modification time changed, or when the user's key did. A check reads the
// whole file, and a folder may hold many large reports: the checks run one after another on a
// thread of the cache's own, so asking never waits; stateArrived() tells when a state is in.
class ReportSignatureCache : public QObject
{
    Q_OBJECT

public:
    // keyFolder holds the user's key (ReportSigningKey::defaultFolder()).
    explicit ReportSignatureCache(QString keyFolder, QObject* parent = nullptr);
    // Drops the checks not begun and waits for the one being made.
    ~ReportSignatureCache() override;

    // The state of the report at path, or nothing while it is being checked (the check is started
    // here when this version of the file has none under way).
    std::optional<ReportVerdict::State> stateOf(const QString& path);
    // Reads the user's certificate again; forgets every state when its fingerprint changed.
    void refreshTrust();
    // How many checks (each a whole file read) were started so far.
    int checks() const { return m_checks; }

signals:
    // The check of the report at path ended; stateOf() answers for it now (or starts a check
    // again when the file or the user's key changed meanwhile).
    void stateArrived(const QString& path);

private:
    // A version of a file, as far as the cache tells them apart.
    struct Version
    {
        qint64 size = -1;
        QDateTime modified;
        bool operator==(const Version&) const = default;
    };
    struct Entry
    {
        Version version;
        ReportVerdict::State state = ReportVerdict::State::Unreadable;
    };

    void startCheck(const QString& path, const Version& version);
    // On the cache's thread: a check's result, made against the fingerprints trusted.
    void arrived(const QString& path, const Version& version, const QStringList& trusted,
                 ReportVerdict::State state);

    QString m_keyFolder;
    QStringList m_trusted;
    bool m_trustRead = false;
    QHash<QString, Entry> m_entries;
    QHash<QString, Version> m_underway; // the version each running or waiting check reads
    int m_checks = 0;
    QThreadPool m_pool;
};

} // namespace cv
