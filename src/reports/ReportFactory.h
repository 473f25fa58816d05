#pragma once

#include "engine/ShredResult.h"
#include "reports/ReportOptions.h"
#include "targets/VolumeProbe.h"

#include <QDateTime>
#include <QHash>
#include <QImage>
#include <QLocale>
#include <QString>

#include <memory>
#include <string>

namespace cv {

// Turns the result of one finished (or cancelled) shred job into the self-contained HTML text of a
// deletion report: the template of the current language with its placeholders filled from the
// result, the method, the machine's facts and the report options, the file table, and the images (logos
// and a QR code of a new report ID) embedded as data URLs. Does no file output.
//
// Every value is HTML-escaped before it goes into the template (file names and error texts come
// from the disk and must never become markup), and the template is filled in one pass, so a value
// that looks like a placeholder is printed as it stands.
class ReportFactory
{
public:
    static constexpr QStringView kSuccessColor = u"#8fca43";
    static constexpr QStringView kFailureColor = u"#d9534f";
    static constexpr QStringView kNeutralColor = u"#888";
    static constexpr int kFileRowCap = 250;
    static constexpr int kQrCodeSize = 500;
    static constexpr QStringView kDataUrlPrefix = u"data:image/jpg;base64,";
    // The fixed notice that follows the report ID in the QR code's text.
    static constexpr QStringView kQrNotice = u"Cindervault deletion report";
    // The labels of the QR code's lines for the content digest and the signer's fingerprint.
    static constexpr QStringView kQrDigestLabel = u"digest:";
    static constexpr QStringView kQrSignerLabel = u"signer:";
    // The names of the report's <meta> elements that hold its ID and its content digest.
    static constexpr QStringView kReportIdMeta = u"cindervault-report-id";
    static constexpr QStringView kContentDigestMeta = u"cindervault-content-digest";

    // The result to report on, and what the report shows: its language, QR code, signature, the
    // cap of its file table, the user's name and company.
    explicit ReportFactory(std::shared_ptr<const ShredResult> shredResult, ReportOptions options = {});

    const std::shared_ptr<const ShredResult>& shredResult() const { return m_shredResult; }

    // Where the volume block looks volumes up; tests stand in for the system.
    void setVolumeProbe(VolumeProbe probe) { m_volumeProbe = std::move(probe); }
    // The keys of the report's status titles, one for each way a job can end (their texts are in
    // the translation tables, context "Shared", as every word of the report).
    static constexpr const char* kSuccess = QT_TRANSLATE_NOOP("Shared", "Success");
    static constexpr const char* kErrors = QT_TRANSLATE_NOOP("Shared", "Errors");
    static constexpr const char* kCanceled = QT_TRANSLATE_NOOP("Shared", "Canceled");
    static constexpr const char* kOldContentMayRemain = QT_TRANSLATE_NOOP("Shared", "Old content may remain");
    // The status title's key for a job: cancelled, ended with errors, done but with old content
    // that may remain on a copy-on-write volume, or done.
    static const char* statusKey(const ShredResult& result);
    // The key among those above that reads as key, or null.
    static const char* knownStatusKey(QStringView key);
    // "de" for German, "en" for every other language: the languages reports are made in.
    static QString reportLanguage(const QString& language);

    // The finished report text in the options' language, with a new report ID; a null string
    // when the template cannot be read (logged).
    QString generateHTMLReport();
    // The report ID of the last generateHTMLReport.
    const QString& reportId() const { return m_reportId; }
    // The content digest of the last generateHTMLReport: SHA-256 (lower-case hexadecimal) of the
    // report's UTF-8 text with the QR code's image and the digest's own place left empty. The
    // report carries it (<meta name="cindervault-content-digest">) and so does its QR code, which
    // ties a printed report to its file.
    const QString& contentDigest() const { return m_contentDigest; }
    static QString contentDigestOf(const QString& content);

    // Every placeholder name (without braces) and its value, HTML-escaped where it is text, for the
    // given language ("de" or anything else) and report ID. Reads the options and the machine.
    QHash<QString, QString> placeholderValues(const QString& language, const QString& reportId) const;
    // The rows of the file table.
    QString fileDetails(bool capFiles, const QString& language) const;
    // The rows of the file-system table: each volume the targets lie on, its file system, and what
    // was done to its free space (wiped, after the deletion, TRIM).
    QString fileSystemRows(const QString& language) const;

    // Replaces every {{NAME}} of templateText whose NAME is in values, in one pass over the text:
    // inserted values are never searched again. Unknown placeholders stay as they are.
    static QString fillTemplate(const QString& templateText, const QHash<QString, QString>& values);

    // The resource path of the template for a language: "de" selects the German one.
    static QString templatePath(const QString& language);

    // "hh:mm:ss" of whole seconds; hours do not wrap at 24; a negative interval reads as 0.
    static QString FormattedStringFromTimeInterval(double seconds);

    // The QR code (500 x 500, black on 250/250/250) of text as a PNG data URL; a null string when
    // it cannot be encoded.
    static QString getQRCode(const QString& text);
    // The text a report's QR code holds: the ID, a line break and the fixed notice; then, when
    // given, "digest:" and the content digest, and "signer:" and the signer's fingerprint
    // (upper-case hexadecimal without colons), each on a line of its own.
    static QString qrCodeText(const QString& reportId, const QString& contentDigest = {},
                              const QString& signerFingerprint = {});
    // An image as a PNG data URL of logical size size x size (pixels are not resampled); a null
    // string for a null image.
    static QString embedStrOfImage(const QImage& image, int size);

    // Text for HTML element content and attribute values: &, <, >, quotes escaped, and "{" too,
    // so that no value can ever read as a placeholder.
    static QString escapeHtml(const QString& text);
    // A path's bytes for display: UTF-8 as it is, every byte that is not part of valid UTF-8 and
    // every control character shown as \xNN, so that the name stays recognisable.
    static QString displayPath(const std::string& path);

    // The text of key in a report language: the report's own German text for "de", else the
    // text of that language's tables (cv::localizedIn), else the built-in English text.
    static QString localizedText(const char* key, const QString& language);
    // What a history row says of its entry: a file's final state, or the reason an entry failed.
    static QString stateText(const ShredItem& item, const QString& language);

    // Numbers in the conventions of the report's language: a byte amount ("2.8 MB", "2,8 MB",
    // "932 Byte") and a count with its digits grouped ("1,234", "1.234").
    static QString byteCountText(std::int64_t bytes, const QString& language);

    // Date texts: "short date, full time" and "short date, medium time" in the conventions of the
    // report's language (the desktop's own when it speaks that language).
    static QString dateTimeText(const QDateTime& time, bool fullTime, const QString& language);
    static QLocale localeFor(const QString& language);
    static QDateTime toDateTime(ShredResult::Clock::time_point time);

private:
    void addVolumeValues(QHash<QString, QString>& values, const QString& language) const;

    std::shared_ptr<const ShredResult> m_shredResult;
    ReportOptions m_options;
    VolumeProbe m_volumeProbe;
    QString m_reportId;
    QString m_contentDigest;
};

} // namespace cv
