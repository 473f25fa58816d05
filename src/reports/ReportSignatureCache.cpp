#include "reports/ReportSignatureCache.h"

#include "reports/ReportVerifier.h"

#include <QFileInfo>

#include <utility>

namespace cv {

ReportSignatureCache::ReportSignatureCache(QString keyFolder) : m_keyFolder(std::move(keyFolder)) {}

void ReportSignatureCache::refreshTrust()
{
    // The user's own certificate only; a folder without one trusts nothing (never an error here).
    const auto trusted = ReportVerifier::trustedFingerprints(m_keyFolder, {});
    QStringList fingerprints = trusted ? *trusted : QStringList();
    if (m_trustRead && fingerprints == m_trusted)
        return;
    m_trusted = std::move(fingerprints);
    m_trustRead = true;
    m_entries.clear();
}

ReportVerdict::State ReportSignatureCache::stateOf(const QString& path)
{
    if (!m_trustRead)
        refreshTrust();
    const QFileInfo info(path);
    if (!info.exists())
        return ReportVerdict::State::Unreadable;
    const qint64 size = info.size();
    const QDateTime modified = info.lastModified();
    if (const auto found = m_entries.constFind(path);
        found != m_entries.cend() && found->size == size && found->modified == modified)
        return found->state;
    ++m_checks;
    const ReportVerdict::State state = ReportVerifier::verifyFile(path, m_trusted).state;
    m_entries.insert(path, Entry{size, modified, state});
    return state;
}

} // namespace cv
