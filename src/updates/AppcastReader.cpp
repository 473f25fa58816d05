#include "updates/AppcastReader.h"

#include "common/Log.h"
#include "updates/Appcast.h"
#include "updates/AppcastVersion.h"

using namespace Qt::StringLiterals;

namespace cv {

namespace {

UpdateCheckResult failed(const QString& text, const QString& runningVersion)
{
    UpdateCheckResult result;
    result.outcome = UpdateCheckResult::Outcome::Failed;
    result.runningVersion = runningVersion;
    result.failure = text;
    return result;
}

} // namespace

AppcastReader::AppcastReader(QObject* parent) : QObject(parent), m_exchange(this)
{
    connect(&m_exchange, &HttpExchange::finished, this, &AppcastReader::onFinished);
}

bool AppcastReader::check(const QUrl& feed, const QString& runningVersion)
{
    if (m_exchange.isRunning())
        return false;
    m_feed = feed;
    m_runningVersion = runningVersion;
    return m_exchange.get(feed, m_limits);
}

void AppcastReader::onFinished(const HttpExchange::Result& reply)
{
    UpdateCheckResult result;
    if (!reply) {
        logMessage("Update check failed: ", reply.error().detail.toStdString(), " (",
                   m_feed.toDisplayString().toStdString(), ")");
        result = failed(reply.error().text, m_runningVersion);
    } else if (const auto items = Appcast::parse(reply->body); !items) {
        logMessage("Update check failed: the feed cannot be read: ", items.error().toStdString(), " (",
                   m_feed.toDisplayString().toStdString(), ")");
        result = failed(tr("The update feed cannot be read."), m_runningVersion);
    } else {
        result = evaluate(*items, m_runningVersion);
        if (result.outcome == UpdateCheckResult::Outcome::UpdateAvailable)
            logMessage("Update check: version ", result.newest.version.toStdString(), " is available");
        else if (result.outcome == UpdateCheckResult::Outcome::UpToDate)
            logMessage("Update check: version ", m_runningVersion.toStdString(), " is up to date");
        else
            logMessage("Update check failed: ", result.failure.toStdString());
    }
    result.checkedAt = QDateTime::currentDateTimeUtc();
    emit finished(result);
}

UpdateCheckResult AppcastReader::evaluate(const QList<AppcastItem>& items, const QString& runningVersion)
{
    const std::optional<AppcastVersion> running = AppcastVersion::parse(runningVersion);
    if (!running)
        return failed(tr("The running version %1 cannot be compared.").arg(runningVersion), runningVersion);

    UpdateCheckResult result;
    result.runningVersion = runningVersion;
    result.outcome = UpdateCheckResult::Outcome::UpToDate;
    if (const std::optional<AppcastItem> newest = Appcast::newestItem(items)) {
        result.newest = *newest;
        if (*AppcastVersion::parse(newest->version) > *running)
            result.outcome = UpdateCheckResult::Outcome::UpdateAvailable;
    }
    return result;
}

} // namespace cv
