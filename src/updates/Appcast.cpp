#include "updates/Appcast.h"

#include "common/Log.h"
#include "updates/AppcastVersion.h"

#include <QXmlStreamReader>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

bool isSparkle(const QXmlStreamReader& xml, QStringView name)
{
    return xml.namespaceUri() == Appcast::kSparkleNamespace && xml.name() == name;
}

bool isPlain(const QXmlStreamReader& xml, QStringView name)
{
    return xml.namespaceUri().isEmpty() && xml.name() == name;
}

QString elementText(QXmlStreamReader& xml)
{
    return xml.readElementText(QXmlStreamReader::SkipChildElements).trimmed();
}

// A link the window may open in a browser and name in the update notice: https only, never plain
// http (anyone on the way could change the page), file: or script URLs.
QUrl webLink(const QString& text)
{
    const QUrl url(text, QUrl::StrictMode);
    if (url.isValid() && !url.host().isEmpty() && url.scheme().toLower() == u"https"_s)
        return url;
    if (!text.isEmpty())
        logMessage("Update feed: release notes link ignored: ", text.toStdString());
    return QUrl();
}

AppcastItem readItem(QXmlStreamReader& xml)
{
    AppcastItem item;
    QString elementVersion;
    QString elementShortVersion;
    QString enclosureVersion;
    QString enclosureShortVersion;
    QString releaseNotes;
    QString link;
    while (xml.readNextStartElement()) {
        if (isPlain(xml, u"title")) {
            item.title = elementText(xml);
        } else if (isPlain(xml, u"pubDate")) {
            item.publicationDate = QDateTime::fromString(elementText(xml), Qt::RFC2822Date);
        } else if (isPlain(xml, u"link")) {
            link = elementText(xml);
        } else if (isSparkle(xml, u"version")) {
            elementVersion = elementText(xml);
        } else if (isSparkle(xml, u"shortVersionString")) {
            elementShortVersion = elementText(xml);
        } else if (isSparkle(xml, u"releaseNotesLink")) {
            releaseNotes = elementText(xml);
        } else if (isPlain(xml, u"enclosure")) {
            const QXmlStreamAttributes attributes = xml.attributes();
            item.enclosureUrl = QUrl(attributes.value(u"url"_s).toString().trimmed(), QUrl::StrictMode);
            item.enclosureLength = attributes.value(u"length"_s).toLongLong();
            item.enclosureType = attributes.value(u"type"_s).toString();
            enclosureVersion =
                attributes.value(Appcast::kSparkleNamespace.toString(), u"version"_s).toString();
            enclosureShortVersion =
                attributes.value(Appcast::kSparkleNamespace.toString(), u"shortVersionString"_s).toString();
            xml.skipCurrentElement();
        } else {
            xml.skipCurrentElement();
        }
    }
    item.version = (!elementVersion.isEmpty() ? elementVersion : enclosureVersion).trimmed();
    item.displayVersion =
        (!elementShortVersion.isEmpty() ? elementShortVersion : enclosureShortVersion).trimmed();
    if (item.displayVersion.isEmpty())
        item.displayVersion = item.version;
    item.releaseNotesLink = webLink(!releaseNotes.isEmpty() ? releaseNotes : link);
    return item;
}

} // namespace

Expected<QList<AppcastItem>, QString> Appcast::parse(const QByteArray& document)
{
    QXmlStreamReader xml(document);
    QList<AppcastItem> items;
    int itemCount = 0;
    if (xml.readNextStartElement()) {
        if (!isPlain(xml, u"rss"))
            return Unexpected(u"not an RSS feed: the document is a <%1>"_s.arg(xml.qualifiedName()));
        bool channelSeen = false;
        while (xml.readNextStartElement()) {
            if (!isPlain(xml, u"channel")) {
                xml.skipCurrentElement();
                continue;
            }
            channelSeen = true;
            while (xml.readNextStartElement()) {
                if (!isPlain(xml, u"item")) {
                    xml.skipCurrentElement();
                    continue;
                }
                ++itemCount;
                AppcastItem item = readItem(xml);
                if (xml.hasError())
                    break;
                if (AppcastVersion::parse(item.version))
                    items << std::move(item);
                else
                    logMessage("Update feed: item \"", item.title.toStdString(),
                               "\" left out, its version \"", item.version.toStdString(),
                               "\" cannot be read");
            }
        }
        if (!xml.hasError() && !channelSeen)
            return Unexpected(u"the RSS feed has no channel"_s);
    }
    // Reading on to the end finds what is broken after the last item, too.
    while (!xml.atEnd() && !xml.hasError())
        xml.readNext();
    if (xml.hasError())
        return Unexpected(
            u"line %1, column %2: %3"_s.arg(xml.lineNumber()).arg(xml.columnNumber()).arg(xml.errorString()));
    if (itemCount > 0 && items.isEmpty())
        return Unexpected(u"none of the %1 items has a version that can be read"_s.arg(itemCount));
    return items;
}

std::optional<AppcastItem> Appcast::newestItem(const QList<AppcastItem>& items)
{
    std::optional<AppcastItem> newest;
    std::optional<AppcastVersion> newestVersion;
    for (const AppcastItem& item : items) {
        const std::optional<AppcastVersion> version = AppcastVersion::parse(item.version);
        if (version && (!newestVersion || *version > *newestVersion)) {
            newest = item;
            newestVersion = version;
        }
    }
    return newest;
}

} // namespace cv
