#include "net/ServiceEndpoints.h"

#include "common/Log.h"

#include <QByteArray>
#include <QHostAddress>

#include <atomic>

using namespace Qt::StringLiterals;

#ifndef CINDERVAULT_BUILD_UPDATE_FEED_URL
#define CINDERVAULT_BUILD_UPDATE_FEED_URL ""
#endif
#ifndef CINDERVAULT_BUILD_SUPPORT_URL
#define CINDERVAULT_BUILD_SUPPORT_URL ""
#endif

namespace cv {

namespace {

std::atomic<bool> s_loopbackHttpAllowed = false;

// The environment's text when the variable is set (even empty), else the build's.
QString configuredText(const char* variable, const char* built)
{
    if (qEnvironmentVariableIsSet(variable))
        return qEnvironmentVariable(variable).trimmed();
    return QString::fromUtf8(built).trimmed();
}

using Endpoint = ServiceEndpoints::Endpoint;

Endpoint refused(const QString& text, const char* what, const QString& problem)
{
    logMessage("The ", what, " address is refused: ", text.toStdString());
    return {Endpoint::State::Invalid, QUrl(), problem};
}

} // namespace

Endpoint ServiceEndpoints::updateFeed()
{
    return updateFeedFrom(configuredText(kUpdateFeedVariable, CINDERVAULT_BUILD_UPDATE_FEED_URL));
}

Endpoint ServiceEndpoints::supportService()
{
    return supportServiceFrom(configuredText(kSupportVariable, CINDERVAULT_BUILD_SUPPORT_URL));
}

Endpoint ServiceEndpoints::updateFeedFrom(const QString& text)
{
    if (text.isEmpty())
        return {Endpoint::State::NotConfigured, QUrl(),
                tr("Update checks are not configured in this build.")};
    const QUrl url(text, QUrl::StrictMode);
    if (!isAllowedUrl(url))
        return refused(text, "update feed",
                       tr("The update feed address is not a secure (HTTPS) address: %1").arg(text));
    return {Endpoint::State::Ready, url, QString()};
}

Endpoint ServiceEndpoints::supportServiceFrom(const QString& text)
{
    if (text.isEmpty())
        return {Endpoint::State::NotConfigured, QUrl(),
                tr("The support service is not configured in this build.")};
    QUrl url(text, QUrl::StrictMode);
    if (!isAllowedUrl(url))
        return refused(text, "support service",
                       tr("The support service address is not a secure (HTTPS) address: %1").arg(text));
    // The address names the server; messages always go to the one path the service takes them at.
    url.setPath(kSupportPath.toString());
    url.setQuery(QString());
    url.setFragment(QString());
    return {Endpoint::State::Ready, url, QString()};
}

bool ServiceEndpoints::isAllowedUrl(const QUrl& url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    if (scheme == u"https"_s)
        return true;
    if (scheme != u"http"_s || !loopbackHttpAllowed())
        return false;
    // Only an address literal: a host name could be made to resolve anywhere.
    const QHostAddress address(url.host());
    return !address.isNull() && address.isLoopback();
}

void ServiceEndpoints::setLoopbackHttpAllowed(bool allowed)
{
    s_loopbackHttpAllowed = allowed;
}

bool ServiceEndpoints::loopbackHttpAllowed()
{
    return s_loopbackHttpAllowed;
}

} // namespace cv
