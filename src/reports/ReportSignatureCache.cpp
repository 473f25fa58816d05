#include "reports/ReportSignatureCache.h"

#include "reports/ReportVerifier.h"

#include <QFileInfo>

#include <utility>

namespace cv {

ReportSignatureCache::ReportSignatureCache(QString keyFolder, QObject* parent)
    : QObject(parent), m_keyFolder(std::move(keyFolder))
{
    // One file at a time: the checks are bound by reading the files, which in parallel only
    // compete for the same disk.
    m_pool.setMaxThreadCount(1);
    m_pool.setThreadPriority(QThread::LowPriority);
}

ReportSignatureCache::~ReportSignatureCache()
{
    // The check being made posts to this object: it must end first.
    m_pool.clear();
    m_pool.waitForDone();
}

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

std::optional<ReportVerdict::State> ReportSignatureCache::stateOf(const QString& path)
{
    if (!m_trustRead)
        refreshTrust();
    const QFileInfo info(path);
    if (!info.exists())
        return ReportVerdict::State::Unreadable;
    const Version version{info.size(), info.lastModified()};
    if (const auto found = m_entries.constFind(path); found != m_entries.cend() && found->version == version)
        return found->state;
    if (const auto running = m_underway.constFind(path); running == m_underway.cend() || *running != version)
        startCheck(path, version);
    return std::nullopt;
}

void ReportSignatureCache::startCheck(const QString& path, const Version& version)
{
    ++m_checks;
    m_underway.insert(path, version);
    m_pool.start([this, path, version, trusted = m_trusted] {
        const ReportVerdict::State state = ReportVerifier::verifyFile(path, trusted).state;
        QMetaObject::invokeMethod(
            this, [this, path, version, trusted, state] { arrived(path, version, trusted, state); },
            Qt::QueuedConnection);
    });
}

void ReportSignatureCache::arrived(const QString& path, const Version& version, const QStringList& trusted,
                                   ReportVerdict::State state)
{
    // A later check of the same file (changed meanwhile) is still under way: that one answers.
    if (const auto running = m_underway.constFind(path); running != m_underway.cend() && *running == version)
        m_underway.erase(running);
    // A state found against a key the user no longer has counts for nothing: the next question
    // checks the file again.
    if (trusted == m_trusted)
        m_entries.insert(path, Entry{version, state});
    emit stateArrived(path);
}

} // namespace cv
