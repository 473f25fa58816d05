// Template filling: placeholders, colours, the volume block, the file table, escaping, the QR code.
#include "reports/ReportFactory.h"
#include "reports/ReportSettings.h"
#include "settings/SettingsManager.h"

#include "ReportTestData.h"
#include "TempDir.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QUuid>

#include <gtest/gtest.h>

using cv::ReportFactory;
using cv::SettingsManager;
using cv::ShredVolume;
using cv::test::makeResult;
using namespace Qt::StringLiterals;

namespace {

class ReportFactoryTest : public ::testing::Test
{
protected:
    cv::test::TempDir m_dir;
    SettingsManager m_settings{QString::fromStdString(m_dir / "settings.ini")};

    // The report options the settings hold now.
    cv::ReportOptions options() const { return cv::ReportSettings::options(m_settings); }

    QHash<QString, QString> values(const std::shared_ptr<cv::ShredResult>& result,
                                   const QString& language = {})
    {
        ReportFactory factory(result, options());
        factory.setVolumeProbe(cv::test::fakeVolumes("Debian", {"/mnt/usb"}));
        return factory.placeholderValues(language, u"00000000-0000-0000-0000-000000000000"_s);
    }

    QString html(const std::shared_ptr<cv::ShredResult>& result)
    {
        ReportFactory factory(result, options());
        factory.setVolumeProbe(cv::test::fakeVolumes("Debian", {"/mnt/usb"}));
        return factory.generateHTMLReport();
    }
};

int countOf(const QString& text, const QString& part)
{
    return static_cast<int>(text.count(part));
}

} // namespace

TEST_F(ReportFactoryTest, EveryPlaceholderIsFilledForEachKindOfOutcome)
{
    struct Case
    {
        const char* name;
        bool canceled;
        std::uint64_t errors;
        bool volumes;
        const char* statusTitle;
        QStringView statusColor;
    };
    const Case cases[] = {
        {"clean", false, 0, false, "Success", ReportFactory::kSuccessColor},
        {"clean on a volume", false, 0, true, "Success", ReportFactory::kSuccessColor},
        {"errors", false, 2, false, "Errors", ReportFactory::kFailureColor},
        {"errors on a volume", false, 2, true, "Errors", ReportFactory::kFailureColor},
        {"cancelled", true, 0, false, "Canceled", ReportFactory::kFailureColor},
        {"cancelled on a volume", true, 1, true, "Canceled", ReportFactory::kFailureColor},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto result = makeResult(5);
        result->canceled = c.canceled;
        result->errorCount = c.errors;
        result->options->hasVolumes = c.volumes;
        result->options->eraseFreeSpace = c.volumes;
        if (c.volumes)
            result->paths->setPaths({"/mnt/usb"});

        const QString text = html(result);
        ASSERT_FALSE(text.isEmpty());
        EXPECT_FALSE(text.contains(u"{{"_s)) << text.mid(text.indexOf(u"{{"_s), 40).toStdString();
        EXPECT_TRUE(text.contains(u"Report test method (3 passes)"_s));

        const auto v = values(result);
        EXPECT_EQ(v[u"STATUS_TITLE"_s], QString::fromLatin1(c.statusTitle));
        EXPECT_EQ(v[u"STATUS_COLOR"_s], c.statusColor.toString());
        // The report's state row says what the status title says: the job's real outcome.
        EXPECT_EQ(v[u"DEL_STATUS"_s], QString::fromLatin1(c.statusTitle));
        EXPECT_EQ(v[u"ERROR_COLOR"_s], c.errors ? u"#d9534f"_s : u"#888"_s);
        EXPECT_EQ(v[u"DISPLAY_VOLUME"_s], c.volumes ? u"block"_s : u"none"_s);
        EXPECT_EQ(v[u"VOLUME_PATH"_s], c.volumes ? u"/mnt/usb"_s : QString());
    }
}

TEST_F(ReportFactoryTest, CountsSizesDurationAndColours)
{
    auto result = makeResult(10);
    result->fileCountTotal = 12;
    result->fileCountFinished = 10;
    result->fileCountRemoved = 7;
    result->errorCount = 3;
    result->bytesCountTotal = 12000;
    result->bytesCountFinished = 10000;
    auto v = values(result);
    EXPECT_EQ(v[u"FILES_COUNT"_s], u"12 File(s)"_s);
    EXPECT_EQ(v[u"SECURE_ERASED"_s], u"7 File(s)"_s);
    EXPECT_EQ(v[u"ERROR_COUNT"_s], u"3 File(s)"_s);
    EXPECT_EQ(v[u"SKIPPED_COUNT"_s], u"2 File(s)"_s);
    EXPECT_EQ(v[u"SKIPPED_COLOR"_s], u"#d9534f"_s);
    EXPECT_EQ(v[u"SECURE_COLOR"_s], u"#8fca43"_s);
    EXPECT_EQ(v[u"FILES_SIZE"_s], u"12 KB"_s);
    EXPECT_EQ(v[u"DEL_SIZE"_s], u"10 KB"_s);
    EXPECT_EQ(v[u"DEL_TIME"_s], u"26:00:05"_s);
    EXPECT_TRUE(v[u"CINDERVAULT_VERSION"_s].startsWith(u"Rendmark Mac 2® - "_s));
    EXPECT_TRUE(v[u"REPORT_TOP_LOGO"_s].startsWith(u"data:image/jpg;base64,"_s));
    EXPECT_TRUE(v[u"REPORT_ICON_REPORT"_s].startsWith(u"data:image/jpg;base64,"_s));

    {
        SCOPED_TRACE("more finished than selected: nothing skipped, but the counts differ");
        result->fileCountFinished = 14;
        result->errorCount = 0;
        v = values(result);
        EXPECT_EQ(v[u"SKIPPED_COUNT"_s], u"0 File(s)"_s);
        EXPECT_EQ(v[u"SKIPPED_COLOR"_s], u"#d9534f"_s);
    }
    {
        SCOPED_TRACE("securely erased never says more than the total, nor errors of folders as files");
        result->fileCountRemoved = 20;
        result->errorCount = 1;
        result->addFailure(cv::ShredItem::Kind::Folder, "/data/unread", "Folder could not be read");
        v = values(result);
        EXPECT_EQ(v[u"SECURE_ERASED"_s], u"12 File(s)"_s);
        EXPECT_EQ(v[u"ERROR_COUNT"_s], u"1 File(s) + 1 other error(s)"_s);
        result->otherErrorCount = 0;
    }
    {
        SCOPED_TRACE("everything finished");
        result->fileCountFinished = 12;
        result->errorCount = 0;
        v = values(result);
        EXPECT_EQ(v[u"SKIPPED_COLOR"_s], u"#888"_s);
        EXPECT_EQ(v[u"ERROR_COLOR"_s], u"#888"_s);
    }

    EXPECT_EQ(ReportFactory::FormattedStringFromTimeInterval(0), u"00:00:00"_s);
    EXPECT_EQ(ReportFactory::FormattedStringFromTimeInterval(59.99), u"00:00:59"_s);
    EXPECT_EQ(ReportFactory::FormattedStringFromTimeInterval(3661), u"01:01:01"_s);
    EXPECT_EQ(ReportFactory::FormattedStringFromTimeInterval(100 * 3600), u"100:00:00"_s);
    // A clock set back during the job must not print negative times.
    EXPECT_EQ(ReportFactory::FormattedStringFromTimeInterval(-5), u"00:00:00"_s);
}

TEST_F(ReportFactoryTest, VolumeBlock)
{
    auto result = makeResult(1);
    result->options->hasVolumes = true;
    const auto block = [&] {
        const auto v = values(result);
        return std::vector<QString>{v[u"VOLUME_FREESPACE"_s], v[u"VOLUME_FREESPACE_COLOR"_s],
                                    v[u"VOLUME_DATA"_s],      v[u"VOLUME_DATA_COLOR"_s],
                                    v[u"VOLUME_FORMAT"_s],    v[u"VOLUME_FORMAT_COLOR"_s]};
    };
    {
        SCOPED_TRACE("free space only");
        result->options->eraseFreeSpaceOnly = true;
        EXPECT_EQ(block(), (std::vector<QString>{u"Success"_s, u"#8fca43"_s, u"Skipped"_s, u"#888"_s,
                                                 u"Skipped"_s, u"#888"_s}));
    }
    {
        SCOPED_TRACE("free space only, and the wipe could not write");
        auto failed = makeResult(0);
        failed->options->hasVolumes = true;
        failed->options->eraseFreeSpaceOnly = true;
        failed->paths->setPaths({"/mnt/usb"});
        failed->addFailure(cv::ShredItem::Kind::Volume, "/mnt/usb", "Free space could not be wiped",
                           "Failed to write file: Read-only file system");
        const auto v = values(failed);
        EXPECT_EQ(v[u"VOLUME_FREESPACE"_s], u"Errors"_s);
        EXPECT_EQ(v[u"VOLUME_FREESPACE_COLOR"_s], u"#d9534f"_s);
        EXPECT_EQ(v[u"STATUS_TITLE"_s], u"Errors"_s);
    }
    {
        SCOPED_TRACE("complete erase");
        result->options->eraseFreeSpaceOnly = false;
        result->options->eraseFreeSpace = true;
        result->options->formatVolume = true;
        EXPECT_EQ(block(), (std::vector<QString>{u"Success"_s, u"#8fca43"_s, u"Success"_s, u"#8fca43"_s,
                                                 u"Success"_s, u"#8fca43"_s}));
    }
    {
        SCOPED_TRACE("complete erase, cancelled");
        result->canceled = true;
        EXPECT_EQ(block(), (std::vector<QString>{u"Canceled"_s, u"#d9534f"_s, u"Canceled"_s, u"#d9534f"_s,
                                                 u"Canceled"_s, u"#d9534f"_s}));
    }
    {
        SCOPED_TRACE("files only");
        result->canceled = false;
        result->options->eraseFreeSpace = false;
        result->options->formatVolume = false;
        EXPECT_EQ(block(), (std::vector<QString>{u"Skipped"_s, u"#888"_s, u"Success"_s, u"#8fca43"_s,
                                                 u"Skipped"_s, u"#888"_s}));
    }

    // The first path that is a volume names it; the startup volume shows its name.
    result->paths->setPaths({"/home/user/file", "/mnt/usb", "/"});
    EXPECT_EQ(values(result)[u"VOLUME_PATH"_s], u"/mnt/usb"_s);
    result->paths->setPaths({"/home/user/file", "/", "/mnt/usb"});
    EXPECT_EQ(values(result)[u"VOLUME_PATH"_s], u"/ (Debian)"_s);
    ReportFactory factory(result, options());
    factory.setVolumeProbe(cv::test::fakeVolumes("", {}));
    EXPECT_EQ(factory.placeholderValues({}, {})[u"VOLUME_PATH"_s], u"/"_s);

    // Each volume the targets lie on names its file system and what became of its free space.
    ShredVolume copyOnWrite;
    copyOnWrite.volume = {"/mnt/b<1>", "btrfs", true, false};
    copyOnWrite.freeSpaceWiped = true;
    copyOnWrite.wipedAfterDeletion = true;
    copyOnWrite.trim = ShredVolume::Trim::NotSupported;
    ShredVolume unwiped;
    unwiped.volume = {"/mnt/c", "f2fs", true, false};
    ShredVolume plain;
    plain.volume = {"/", "ext4", false, false};
    result->volumes = {copyOnWrite, unwiped, plain};
    EXPECT_EQ(factory.fileSystemRows({}),
              u"<tr><th>/mnt/b&lt;1&gt;</th><td>btrfs (copy-on-write); free space wiped after the deletion; "
              "TRIM not supported</td></tr>"
              "<tr><th>/mnt/c</th><td>f2fs (copy-on-write); free space not wiped afterwards</td></tr>"
              "<tr><th>/</th><td>ext4</td></tr>"_s);
    EXPECT_TRUE(factory.fileSystemRows(u"de"_s).contains(
        u"btrfs (Copy-on-Write); freier Speicher nach dem Löschen überschrieben; "
        "TRIM nicht unterstützt"_s));
}

TEST_F(ReportFactoryTest, FileTableAndItsCap)
{
    const auto rows = [](const QString& table) { return countOf(table, u"<tr class="_s); };
    const QString dismissed = u"Remaining entries are dismissed"_s;
    {
        SCOPED_TRACE("250 items with the cap");
        const ReportFactory factory(makeResult(250), options());
        const QString table = factory.fileDetails(true, {});
        EXPECT_EQ(rows(table), 250);
        EXPECT_FALSE(table.contains(dismissed));
    }
    {
        SCOPED_TRACE("251 items with the cap");
        const ReportFactory factory(makeResult(251), options());
        const QString table = factory.fileDetails(true, {});
        EXPECT_EQ(rows(table), 250);
        EXPECT_TRUE(table.contains(u"<tr><td></td><td colspan=\"4\">"_s + dismissed + u"</td></tr>"_s));
        EXPECT_TRUE(table.endsWith(u"</td></tr>"_s));
        EXPECT_FALSE(table.contains(u"file_251.txt"_s));
    }
    {
        SCOPED_TRACE("251 items without the cap");
        const ReportFactory factory(makeResult(251), options());
        const QString table = factory.fileDetails(false, {});
        EXPECT_EQ(rows(table), 251);
        EXPECT_TRUE(table.contains(u"<td>251</td><td>/data/report-test/file_251.txt</td>"_s));
    }
    {
        SCOPED_TRACE("the setting decides in the report");
        m_settings.setBool(true, SettingsManager::kSettingsDeletionReportShouldCapFiles);
        EXPECT_EQ(rows(html(makeResult(300))), 250);
        m_settings.setBool(false, SettingsManager::kSettingsDeletionReportShouldCapFiles);
        EXPECT_EQ(rows(html(makeResult(300))), 300);
    }

    auto result = makeResult(2);
    result->history[1].success = false;
    result->history[1].state = cv::ShredItem::State::NotOverwritten;
    result->history[1].because("Path no writable");
    // Overwritten, but its removal failed: still on the disk, and never called deleted.
    cv::ShredItem present = result->history[0];
    present.path = "/data/report-test/append/kept";
    present.state = cv::ShredItem::State::Overwritten;
    present.because("Overwritten, but could not be deleted", "Operation not permitted");
    result->history.push_back(present);
    const ReportFactory factory(result, options());
    EXPECT_EQ(
        factory.fileDetails(false, {}),
        u"<tr class=\"\"><td>1</td><td>/data/report-test/file_1.txt</td><td>1 KB</td><td>Deleted</td></tr>"
        u"<tr class=\"error\"><td>2</td><td>/data/report-test/file_2.txt</td><td>1 KB</td>"
        u"<td>Path not writable</td></tr>"
        u"<tr class=\"error\"><td>3</td><td>/data/report-test/append/kept</td><td>1 KB</td>"
        u"<td>Overwritten, but could not be deleted: Operation not permitted</td></tr>"_s);
    // In German, reasons and states in German, the system's words as they came.
    EXPECT_TRUE(factory.fileDetails(false, u"de"_s)
                    .contains(u"<td>Überschrieben, aber nicht gelöscht: Operation not permitted</td>"_s));
    // A file the cancel cut short is no longer as it was, and its row says so.
    cv::ShredItem begun = result->history[0];
    begun.state = cv::ShredItem::State::OverwrittenInPart;
    begun.cancelled = true;
    begun.because("Overwritten in part: the job was cancelled");
    EXPECT_EQ(ReportFactory::stateText(begun, {}), u"Overwritten in part: the job was cancelled"_s);
    EXPECT_EQ(ReportFactory::stateText(begun, u"de"_s),
              u"Teilweise überschrieben: der Vorgang wurde abgebrochen"_s);
}

TEST_F(ReportFactoryTest, DiskTextsAreEscapedNeverMarkup)
{
    auto result = makeResult(0);
    const auto add = [&](std::string path, std::optional<std::string> error) {
        cv::ShredItem item;
        item.path = std::move(path);
        item.success = !error;
        item.state = error ? cv::ShredItem::State::NotOverwritten : cv::ShredItem::State::Deleted;
        item.error = std::move(error);
        result->history.push_back(item);
    };
    add("/tmp/a<b>&\"c'd.txt", std::nullopt);
    add(std::string("/tmp/caf\xE9-\xFF\xC3.txt"), std::nullopt);
    add("/tmp/line\nbreak", std::string("<script>alert(1)</script>"));
    add("/tmp/{{METHOD}}{{FILE_DETAILS}}", std::nullopt);
    result->algorithm = std::make_shared<cv::Algorithm>(99, 3, "A & B <i>", ""); // not in the catalogue
    m_settings.setString(u"<b>Ann</b>"_s, cv::ReportSettings::kSettingsReportUserName);

    const QString text = html(result);
    EXPECT_TRUE(text.contains(u"/tmp/a&lt;b&gt;&amp;&quot;c&#39;d.txt"_s));
    EXPECT_TRUE(text.contains(u"/tmp/caf\\xE9-\\xFF\\xC3.txt"_s));
    EXPECT_FALSE(text.contains(QChar::ReplacementCharacter));
    EXPECT_TRUE(text.contains(u"/tmp/line\\x0Abreak"_s));
    EXPECT_TRUE(text.contains(u"&lt;script&gt;alert(1)&lt;/script&gt;"_s));
    EXPECT_TRUE(text.contains(u"A &amp; B &lt;i&gt;"_s));
    EXPECT_TRUE(text.contains(u"&lt;b&gt;Ann&lt;/b&gt;"_s));
    EXPECT_FALSE(text.contains(u"<script>"_s));
    EXPECT_FALSE(text.contains(u"<b>"_s));
    // A name that looks like placeholders is printed as it stands, not expanded.
    EXPECT_TRUE(text.contains(u"/tmp/&#123;&#123;METHOD}}&#123;&#123;FILE_DETAILS}}"_s));
    EXPECT_FALSE(text.contains(u"{{"_s));

    // Valid UTF-8 stays as it is.
    EXPECT_EQ(ReportFactory::displayPath("/tmp/Grüße/日本"), u"/tmp/Grüße/日本"_s);
    // Overlong forms and encoded surrogates are not UTF-8.
    EXPECT_EQ(ReportFactory::displayPath("\xC0\xAF\xED\xA0\x80"), u"\\xC0\\xAF\\xED\\xA0\\x80"_s);
}

TEST_F(ReportFactoryTest, FillTemplateIsOnePass)
{
    const QHash<QString, QString> values{{u"A"_s, u"{{B}}"_s}, {u"B"_s, u"b"_s}};
    EXPECT_EQ(ReportFactory::fillTemplate(u"x{{A}}y{{A}}z{{B}}"_s, values), u"x{{B}}y{{B}}zb"_s);
    EXPECT_EQ(ReportFactory::fillTemplate(u"{{UNKNOWN}}{{B}}{{"_s, values), u"{{UNKNOWN}}b{{"_s);
    EXPECT_EQ(ReportFactory::fillTemplate(u"{{{B}}}"_s, values), u"{b}"_s);
}

TEST_F(ReportFactoryTest, ReportIdAndQrCode)
{
    auto result = makeResult(1);
    ReportFactory factory(result, options());
    const QString first = factory.generateHTMLReport();
    const QString id = factory.reportId();
    EXPECT_TRUE(QRegularExpression(u"^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"_s)
                    .match(id)
                    .hasMatch())
        << id.toStdString();
    EXPECT_TRUE(first.contains(id));
    factory.generateHTMLReport();
    EXPECT_NE(factory.reportId(), id);

    const QString url = ReportFactory::getQRCode(ReportFactory::qrCodeText(id));
    ASSERT_TRUE(url.startsWith(u"data:image/jpg;base64,"_s));
    const QImage image = QImage::fromData(
        QByteArray::fromBase64(url.mid(ReportFactory::kDataUrlPrefix.size()).toLatin1()), "PNG");
    ASSERT_FALSE(image.isNull());
    const std::string decoded = cv::test::decodeQrCode(image);
    EXPECT_EQ(decoded, ReportFactory::qrCodeText(id).toStdString());
    EXPECT_EQ(decoded.substr(0, 37), id.toStdString() + "\n");

    {
        SCOPED_TRACE("QR code and signature hidden");
        m_settings.setBool(false, SettingsManager::kSettingsDeletionReportShowQrCode);
        m_settings.setBool(false, SettingsManager::kSettingsDeletionReportShowSignature);
        const auto v = ReportFactory(result, options()).placeholderValues({}, id);
        EXPECT_EQ(v[u"REPORT_QRCODE"_s], QString());
        EXPECT_EQ(v[u"REPORT_QRCODE_CSS"_s], u"display:none"_s);
        EXPECT_EQ(v[u"DISPLAY_SIGNATURE"_s], u"none"_s);
        EXPECT_EQ(v[u"REPORT_ID"_s], id);
    }
    {
        SCOPED_TRACE("shown (the defaults)");
        const SettingsManager fresh(QString::fromStdString(m_dir / "fresh.ini"));
        const auto v = ReportFactory(result, cv::ReportSettings::options(fresh)).placeholderValues({}, id);
        EXPECT_FALSE(v[u"REPORT_QRCODE"_s].isEmpty());
        EXPECT_EQ(v[u"REPORT_QRCODE_CSS"_s], QString());
        EXPECT_EQ(v[u"DISPLAY_SIGNATURE"_s], u"block"_s);
    }
}

TEST_F(ReportFactoryTest, AReportIsWhollyInOneLanguageMethodAndDatesIncluded)
{
    // The job ran with its texts in the other language: its method carries that language's title.
    auto result = makeResult(1);
    result->end =
        QDateTime(QDate(2026, 12, 5), QTime(14, 5, 7)).toSecsSinceEpoch() * std::chrono::seconds(1) +
        cv::ShredResult::Clock::time_point();
    const auto reportIn = [&](const QString& language, const std::string& jobTitle) {
        result->algorithm = std::make_shared<cv::Algorithm>(16, 1, jobTitle, "");
        cv::ReportOptions inLanguage = options();
        inLanguage.language = language;
        return ReportFactory(result, inLanguage).generateHTMLReport();
    };
    // Sizes and counts in the language's number format: 2.8 MB selected, 1,234 files counted, one
    // file of 932 bytes listed.
    result->bytesCountTotal = 2'800'000;
    result->fileCountTotal = 1234;
    result->history.front().fileSize = 932;
    const QString german = reportIn(u"de"_s, " 1 pass: random data");
    EXPECT_TRUE(german.contains(u"<html lang=\"de\">"_s));
    EXPECT_TRUE(german.contains(u"1 Runde: Zufallswerte"_s));
    EXPECT_FALSE(german.contains(u"1 pass"_s));
    EXPECT_TRUE(german.contains(u"05.12.26"_s)) << "German date";
    EXPECT_TRUE(german.contains(u"2,8 MB"_s)) << "German decimal comma";
    EXPECT_TRUE(german.contains(u"<td>932 Byte</td>"_s));
    EXPECT_TRUE(german.contains(u"1.234 Datei(en)"_s));
    EXPECT_FALSE(german.contains(u"2.8 MB"_s) || german.contains(u"bytes"_s) ||
                 german.contains(u"File(s)"_s));

    const QString english = reportIn(u"en"_s, " 1 Runde: Zufallswerte");
    EXPECT_TRUE(english.contains(u"<html lang=\"en\">"_s));
    EXPECT_TRUE(english.contains(u"1 pass: random data"_s));
    EXPECT_FALSE(english.contains(u"Runde"_s));
    EXPECT_FALSE(english.contains(u"05.12.26"_s)) << "no German date in an English report";
    EXPECT_TRUE(english.contains(u"2.8 MB"_s));
    EXPECT_TRUE(english.contains(u"<td>932 bytes</td>"_s));
    EXPECT_TRUE(english.contains(u"1,234 File(s)"_s));

    // Without a language of the job's own, the settings' first language picks the template and its
    // texts; one without tables falls back to English.
    result->algorithm = std::make_shared<cv::Algorithm>(16, 1, " 1 pass: random data", "");
    m_settings.setObject(QStringList{u"de-CH"_s, u"en"_s}, SettingsManager::kAppleLanguages);
    const QString swiss = html(result);
    EXPECT_TRUE(swiss.contains(u"<html lang=\"de\">"_s));
    EXPECT_TRUE(swiss.contains(u"Löschprotokoll"_s));
    EXPECT_TRUE(swiss.contains(u"1 Datei(en)"_s));
    EXPECT_FALSE(swiss.contains(u"{{"_s));
    m_settings.setObject(QStringList{u"fr-FR"_s}, SettingsManager::kAppleLanguages);
    EXPECT_TRUE(html(result).contains(u"<html lang=\"en\">"_s));
}

TEST_F(ReportFactoryTest, VerifiedFilesAndTheJobsVerificationInBothLanguages)
{
    auto result = makeResult(2);
    result->history[0].verified = true;
    result->history[1].success = false;
    result->history[1].state = cv::ShredItem::State::NotOverwritten;
    result->history[1].because("Verification failed", "first difference at byte 4242");
    result->history[1].differsAt = 4242;
    result->options = std::make_shared<cv::ShredOptions>();
    result->options->verification = cv::Verification::LastPass;
    const ReportFactory factory(result, options());
    EXPECT_EQ(factory.fileDetails(false, {}),
              u"<tr class=\"\"><td>1</td><td>/data/report-test/file_1.txt</td><td>1 KB</td>"
              u"<td>Deleted, verified</td></tr>"
              u"<tr class=\"error\"><td>2</td><td>/data/report-test/file_2.txt</td><td>1 KB</td>"
              u"<td>Verification failed: first difference at byte 4242</td></tr>"_s);
    const QString german = factory.fileDetails(false, u"de"_s);
    EXPECT_TRUE(german.contains(u"<td>Gelöscht, überprüft</td>"_s)) << german.toStdString();
    EXPECT_TRUE(german.contains(u"<td>Überprüfung fehlgeschlagen: erste Abweichung bei Byte 4242</td>"_s));

    EXPECT_EQ(values(result)[u"DEL_VERIFICATION"_s], u"last pass read back"_s);
    EXPECT_EQ(values(result, u"de"_s)[u"DEL_VERIFICATION"_s], u"letzter Durchgang zurückgelesen"_s);
    result->options->verification = cv::Verification::AllPasses;
    EXPECT_EQ(values(result)[u"DEL_VERIFICATION"_s], u"all passes read back"_s);
    result->options->verification = cv::Verification::Off;
    EXPECT_EQ(values(result)[u"DEL_VERIFICATION"_s], u"off"_s);
    EXPECT_EQ(values(result, u"de"_s)[u"DEL_VERIFICATION"_s], u"aus"_s);
    EXPECT_TRUE(html(result).contains(u"<th>Verification</th><td>off</td>"_s));
}

TEST_F(ReportFactoryTest, NoVolumeIsCalledWipedNorAFileGoneWhereOldDataMayRemain)
{
    {
        SCOPED_TRACE("free space the wipe could not write");
        auto result = makeResult(0);
        result->options->hasVolumes = true;
        result->options->eraseFreeSpaceOnly = true;
        result->paths->setPaths({"/mnt/usb"});
        ShredVolume ext4;
        ext4.volume = {"/mnt/usb", "ext4", false, false};
        ext4.freeSpaceWiped = true;
        ext4.unwrittenBytes = 12000000;
        result->volumes = {ext4};
        const auto v = values(result);
        EXPECT_EQ(v[u"VOLUME_FREESPACE"_s], u"Wiped in part"_s);
        EXPECT_EQ(v[u"FILE_SYSTEMS"_s],
                  u"<tr><th>/mnt/usb</th><td>ext4; free space wiped in part; 12 MB reserved by the file "
                  "system could not be written</td></tr>"_s);
        EXPECT_TRUE(values(result, u"de"_s)[u"FILE_SYSTEMS"_s].contains(
            u"12 MB, die das Dateisystem zurückhält, konnten nicht überschrieben werden"_s));
    }
    {
        SCOPED_TRACE("files deleted on a copy-on-write volume without a wipe afterwards");
        auto result = makeResult(2);
        ShredVolume btrfs;
        btrfs.volume = {"/data", "btrfs", true, false};
        ShredVolume root;
        root.volume = {"/", "ext4", false, false};
        result->volumes = {root, btrfs};
        result->history[1].path = "/elsewhere/file.txt";
        auto v = values(result);
        EXPECT_EQ(v[u"STATUS_TITLE"_s], u"Old content may remain"_s);
        EXPECT_EQ(v[u"STATUS_COLOR"_s], ReportFactory::kFailureColor.toString());
        EXPECT_EQ(v[u"DEL_STATUS"_s], u"Old content may remain on /data until its free space is wiped"_s);
        const QString rows = v[u"FILE_DETAILS"_s];
        EXPECT_TRUE(
            rows.contains(u"<td>/data/report-test/file_1.txt</td><td>1 KB</td><td>Deleted. Old content "
                          "may remain on /data until its free space is wiped</td>"_s))
            << rows.toStdString();
        EXPECT_TRUE(rows.contains(u"<td>/elsewhere/file.txt</td><td>1 KB</td><td>Deleted</td>"_s));
        EXPECT_TRUE(values(result, u"de"_s)[u"DEL_STATUS"_s].startsWith(u"Alter Inhalt kann auf /data"_s));
        result->volumes[1].freeSpaceWiped = true;
        result->volumes[1].wipedAfterDeletion = true;
        v = values(result);
        EXPECT_EQ(v[u"STATUS_TITLE"_s], u"Success"_s);
        EXPECT_FALSE(v[u"FILE_DETAILS"_s].contains(u"Old content"_s));
    }
}

TEST_F(ReportFactoryTest, EveryFigureAndWordPairsLikeWithLike)
{
    auto result = makeResult(5);
    // Two of five files stayed: removed files go with removed bytes, not with every byte written.
    result->fileCountRemoved = 3;
    result->bytesCountRemoved = 3000;
    result->bytesCountFinished = 5000;
    result->history[3].state = cv::ShredItem::State::Overwritten;
    result->history[4].state = cv::ShredItem::State::Overwritten;
    auto v = values(result);
    EXPECT_EQ(v[u"SECURE_ERASED"_s], u"3 File(s)"_s);
    EXPECT_EQ(v[u"SECURE_ERASED_SIZE"_s], u"3 KB"_s);
    EXPECT_EQ(v[u"DEL_SIZE"_s], u"5 KB"_s);

    // Passes were to be read back, but no file was verified (empty files, or a cipher pass that
    // cannot be read back): the job block does not say that passes were read back.
    result->options->verification = cv::Verification::AllPasses;
    EXPECT_EQ(values(result)[u"DEL_VERIFICATION"_s], u"no file verified"_s);
    EXPECT_EQ(values(result, u"de"_s)[u"DEL_VERIFICATION"_s], u"keine Datei überprüft"_s);
    result->history[0].verified = true;
    EXPECT_EQ(values(result)[u"DEL_VERIFICATION"_s], u"all passes read back"_s);

    // A file that stays elsewhere than it was: where it is, and the path the user knew.
    result->history[3].formerPath = result->history[3].path;
    result->history[3].path = "/data/Xq81Kd/file_4.txt";
    EXPECT_TRUE(values(result)[u"FILE_DETAILS"_s].contains(
        u"<td>/data/Xq81Kd/file_4.txt (formerly /data/report-test/file_4.txt)</td>"_s));
    EXPECT_TRUE(
        values(result, u"de"_s)[u"FILE_DETAILS"_s].contains(u"(früher /data/report-test/file_4.txt)"_s));
}
