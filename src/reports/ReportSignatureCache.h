#pragma once

#include "reports/ReportVerdict.h"

#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

namespace cv {

// The signature states of the saved reports, as the report list shows them: each file is checked
// (ReportVerifier, trusting the user's own key) the first time its state is asked for, and again
// only when its size or modification time changed, or when the user's key did.
class ReportSignatureCache
{
public:
    // keyFolder holds the user's key (ReportSigningKey::defaultFolder()).
    explicit ReportSignatureCache(QString keyFolder);

    // The state of the report at path.
    ReportVerdict::State stateOf(const QString& path);
    // Reads the user's certificate again; forgets every state when its fingerprint changed.
    void refreshTrust();
    // How many files were read and checked so far.
    int checks() const { return m_checks; }

private:
    struct Entry
    {
        qint64 size = -1;
        QDateTime modified;
        ReportVerdict::State state = ReportVerdict::State::Unreadable;
    };

    QString m_keyFolder;
    QStringList m_trusted;
    bool m_trustRead = false;
    QHash<QString, Entry> m_entries;
    int m_checks = 0;
};

} // namespace cv
