#pragma once

#include "net/HttpExchange.h"
#include "updates/AppcastItem.h"
#include "updates/UpdateCheckResult.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QUrl>

namespace cv {

// One update check: loads the appcast from its address (HTTPS, at most 1 MB, within a deadline),
// reads it, and compares its newest release with the running version. The result comes as
// finished(); a failure carries a sentence for the user and is logged with its cause. Installing
// is left to the package manager.
class AppcastReader : public QObject
{
    Q_OBJECT

public:
    explicit AppcastReader(QObject* parent = nullptr);

    // Limits of the request; a feed may be up to 1 MB, and the whole check takes at most 30 s.
    void setLimits(const HttpExchange::Limits& limits) { m_limits = limits; }
    const HttpExchange::Limits& limits() const { return m_limits; }

    // Starts a check; false (and nothing happens) while one is running.
    bool check(const QUrl& feed, const QString& runningVersion);
    bool isChecking() const { return m_exchange.isRunning(); }
    void cancel() { m_exchange.cancel(); }

    // The result for a feed's items: whether the newest is newer than runningVersion.
    static UpdateCheckResult evaluate(const QList<AppcastItem>& items, const QString& runningVersion);

signals:
    void finished(const cv::UpdateCheckResult& result);

private:
    void onFinished(const HttpExchange::Result& result);

    HttpExchange m_exchange;
    HttpExchange::Limits m_limits;
    QString m_runningVersion;
    QUrl m_feed;
};

} // namespace cv
