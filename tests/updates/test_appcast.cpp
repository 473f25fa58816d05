#include "updates/Appcast.h"
#include "updates/AppcastReader.h"
#include "updates/AppcastVersion.h"

#include <QStringList>

#include <gtest/gtest.h>

using cv::Appcast;
using cv::AppcastItem;
using cv::AppcastReader;
using cv::AppcastVersion;
using cv::UpdateCheckResult;
using namespace Qt::StringLiterals;

namespace cv {
inline void PrintTo(const AppcastVersion& version, std::ostream* out)
{
    *out << version.text().toStdString();
}
} // namespace cv

namespace {

AppcastVersion version(const QString& text)
{
    const auto parsed = AppcastVersion::parse(text);
    EXPECT_TRUE(parsed.has_value()) << text.toStdString();
    return parsed.value_or(*AppcastVersion::parse(u"0"_s));
}

} // namespace

TEST(AppcastVersion, ComparesPartByPartAsNumbers)
{
    // Each version is older than the next one.
    const QStringList ascending{u"0.9"_s,
                                u"1.0-alpha"_s,
                                u"1.0-alpha.2"_s,
                                u"1.0-beta"_s,
                                u"1.0beta2"_s,
                                u"1.0-beta.10"_s,
                                u"1.0rc1"_s,
                                u"1.0"_s,
                                u"1.0.1"_s,
                                u"1.2"_s,
                                u"1.9"_s,
                                u"1.10"_s,
                                u"1.10.0.1"_s,
                                u"2"_s,
                                u"10.0"_s,
                                u"18446744073709551616"_s,
                                u"99999999999999999999999999"_s};
    for (qsizetype i = 0; i + 1 < ascending.size(); ++i) {
        EXPECT_LT(version(ascending[i]), version(ascending[i + 1]))
            << ascending[i].toStdString() << " < " << ascending[i + 1].toStdString();
        EXPECT_GT(version(ascending[i + 1]), version(ascending[i]));
    }

    // The same version, written differently.
    for (const auto& [a, b] : {std::pair{u"1.0"_s, u"1.0.0"_s},
                               {u"1"_s, u"1.0.0.0"_s},
                               {u"1.02"_s, u"1.2"_s},
                               {u"v1.2"_s, u"1.2"_s},
                               {u"1.2+build.7"_s, u"1.2"_s},
                               {u" 1.2 "_s, u"1.2"_s},
                               {u"1.0-RC1"_s, u"1.0rc1"_s},
                               {u"1.0-beta.02"_s, u"1.0-beta.2"_s}})
        EXPECT_EQ(version(a), version(b)) << a.toStdString() << " == " << b.toStdString();

    EXPECT_TRUE(version(u"2.0b1"_s).isPreRelease());
    EXPECT_FALSE(version(u"2.0"_s).isPreRelease());

    for (const QString& garbage : {u""_s, u"latest"_s, u"1..2"_s, u"1."_s, u".1"_s, u"1.2 beta"_s, u"1.2-"_s,
                                   u"-1"_s, u"1.2-beta..1"_s, u"1.2/3"_s, u"+5"_s, u"v"_s, u"١٫٢"_s})
        EXPECT_FALSE(AppcastVersion::parse(garbage).has_value())
            << "not a version: " << garbage.toStdString();
}

TEST(Appcast, ReadsTheFeedAndFindsTheNewestItem)
{
    // Items in no particular order; the newest by version wins, not the first.
    const QByteArray feed = R"xml(<?xml version="1.0" encoding="utf-8"?>
<rss version="2.0" xmlns:sparkle="http://www.andymatuschak.org/xml-namespaces/sparkle" xmlns:dc="http://purl.org/dc/elements/1.1/">
  <channel>
    <title>Cindervault</title>
    <item>
      <title>Version 1.9</title>
      <pubDate>Mon, 03 Jun 2024 10:00:00 +0000</pubDate>
      <sparkle:version>1.9</sparkle:version>
      <enclosure url="https://example.com/cindervault-1.9.deb" length="100" type="application/vnd.debian.binary-package"/>
    </item>
    <item>
      <title>Version 1.10 &amp; more</title>
      <description><![CDATA[<h2>New</h2><p>Faster</p>]]></description>
      <pubDate>Tue, 04 Jun 2024 12:30:00 +0200</pubDate>
      <sparkle:releaseNotesLink>https://example.com/notes/1.10.html</sparkle:releaseNotesLink>
      <enclosure url="https://example.com/cindervault-1.10.deb" sparkle:version="1.10" sparkle:shortVersionString="1.10 (Autumn)" length="123456" type="application/vnd.debian.binary-package"/>
    </item>
    <item>
      <title>No version</title>
      <enclosure url="https://example.com/x.deb" length="1"/>
    </item>
    <item>
      <title>Version 1.2</title>
      <sparkle:version>1.2</sparkle:version>
      <sparkle:releaseNotesLink>javascript:alert(1)</sparkle:releaseNotesLink>
    </item>
    <item>
      <title>Version 1.3</title>
      <sparkle:version>1.3</sparkle:version>
      <sparkle:releaseNotesLink>http://example.com/notes/1.3.html</sparkle:releaseNotesLink>
    </item>
  </channel>
</rss>)xml";
    const auto items = Appcast::parse(feed);
    ASSERT_TRUE(items) << items.error().toStdString();
    ASSERT_EQ(items->size(), 4) << "the item without a version is left out";
    EXPECT_TRUE(items->at(2).releaseNotesLink.isEmpty()) << "only web links are kept";
    EXPECT_TRUE(items->at(3).releaseNotesLink.isEmpty()) << "and of those only https links";

    const auto newest = Appcast::newestItem(*items);
    ASSERT_TRUE(newest.has_value());
    EXPECT_EQ(newest->title, u"Version 1.10 & more"_s);
    EXPECT_EQ(newest->version, u"1.10"_s);
    EXPECT_EQ(newest->displayVersion, u"1.10 (Autumn)"_s);
    EXPECT_EQ(newest->publicationDate, QDateTime(QDate(2024, 6, 4), QTime(10, 30), Qt::UTC));
    EXPECT_EQ(newest->releaseNotesLink, QUrl(u"https://example.com/notes/1.10.html"_s));
    EXPECT_EQ(newest->enclosureUrl, QUrl(u"https://example.com/cindervault-1.10.deb"_s));
    EXPECT_EQ(newest->enclosureLength, 123456);

    using Outcome = UpdateCheckResult::Outcome;
    EXPECT_EQ(AppcastReader::evaluate(*items, u"1.9.5"_s).outcome, Outcome::UpdateAvailable);
    EXPECT_EQ(AppcastReader::evaluate(*items, u"1.10.0"_s).outcome, Outcome::UpToDate);
    EXPECT_EQ(AppcastReader::evaluate(*items, u"2.0"_s).outcome, Outcome::UpToDate);
    EXPECT_EQ(AppcastReader::evaluate({}, u"1.0.0"_s).outcome, Outcome::UpToDate) << "an empty feed";
}

TEST(Appcast, MalformedFeedsAreErrors)
{
    const char* const malformed[] = {
        "",
        "not xml at all",
        "<rss><channel><item><title>1.2</title></channel></rss>",                            // unbalanced
        "<html><body>Service unavailable</body></html>",                                     // not RSS
        "<rss version=\"2.0\"></rss>",                                                       // no channel
        "<rss><channel><item><sparkle:version>2.0</sparkle:version></item></channel></rss>", // unbound prefix
        "<rss xmlns:sparkle=\"http://www.andymatuschak.org/xml-namespaces/sparkle\"><channel>"
        "<item><sparkle:version>latest</sparkle:version></item></channel></rss>", // no readable version
        "<rss><channel></channel></rss><rss/>",                                   // trailing junk
    };
    for (const char* document : malformed) {
        const auto items = Appcast::parse(QByteArray(document));
        EXPECT_FALSE(items) << "accepted: " << document;
    }
    const auto empty = Appcast::parse("<rss version=\"2.0\"><channel><title>x</title></channel></rss>");
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->isEmpty());
}
