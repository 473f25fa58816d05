#pragma once

#include "common/Expected.h"
#include "updates/AppcastItem.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace cv {

// Reads an update feed: an RSS 2.0 document whose channel lists the releases as items, with the
// version, release notes link and enclosure in the Sparkle namespace, as appcasts write them:
//
//   <rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle">
//     <channel><item>
//       <title>Version 1.2</title> <pubDate>Tue, 04 Jun 2024 10:00:00 +0000</pubDate>
//       <sparkle:version>1.2</sparkle:version>
//       <sparkle:releaseNotesLink>https://example.com/notes/1.2.html</sparkle:releaseNotesLink>
//       <enclosure url="https://example.com/cindervault-1.2.deb" length="123" type="..."/>
//     </item></channel>
//   </rss>
//
// The version may also stand in the enclosure's sparkle:version attribute. Items without a readable
// version are left out (and logged); a feed that lists items but none with a readable version is as
// unreadable as a malformed one. A channel without items is a valid, empty feed.
class Appcast
{
public:
    static constexpr QStringView kSparkleNamespace = u"http://www.andymatuschak.org/xml-namespaces/sparkle";

    // The items of the feed, or why it cannot be read (for the log).
    static Expected<QList<AppcastItem>, QString> parse(const QByteArray& document);

    // The item with the highest version; the first of equal ones. Nothing for an empty list.
    static std::optional<AppcastItem> newestItem(const QList<AppcastItem>& items);
};

} // namespace cv
