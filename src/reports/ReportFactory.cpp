#include "reports/ReportFactory.h"

#include "common/ByteCountFormatter.h"
#include "common/Language.h"
#include "common/Localization.h"
#include "common/Log.h"
#include "engine/AlgorithmCollection.h"
#include "reports/VarSystemInfo.h"

#include <QBuffer>
#include <QCryptographicHash>
#include <QFile>
#include <QLocale>
#include <QUuid>

#include <ZXing/BarcodeFormat.h>
#include <ZXing/BitMatrix.h>
#include <ZXing/MultiFormatWriter.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <exception>
#include <mutex>

using namespace Qt::StringLiterals;

// Q_INIT_RESOURCE may not stand inside a namespace. The templates and images live in this static
// library, so they are registered on first use rather than relying on a static initialiser that
// the linker may drop.
static void initReportResources()
{
    Q_INIT_RESOURCE(reports);
}

#ifndef CINDERVAULT_BUILD_NUMBER
#define CINDERVAULT_BUILD_NUMBER "1"
#endif

namespace cv {

namespace {

void ensureResources()
{
    static std::once_flag once;
    std::call_once(once, initReportResources);
}

// The volume block's word for a step the job was not asked to take.
constexpr const char* kSkipped = QT_TRANSLATE_NOOP("Shared", "Skipped");

// Which passes the job read back from the device, in the words of the report's job block. Files
// were overwritten but none of them verified (every one empty, or a method whose cipher pass
// cannot be read back): the block says so rather than name passes read back.
const char* verificationText(const ShredResult& result)
{
    const Verification verification = result.options ? result.options->verification : Verification::Off;
    const auto overwrittenFile = [](const ShredItem& item) {
        return item.kind == ShredItem::Kind::File && item.state != ShredItem::State::NotOverwritten;
    };
    if (verification != Verification::Off &&
        std::any_of(result.history.begin(), result.history.end(), overwrittenFile) &&
        std::none_of(result.history.begin(), result.history.end(),
                     [](const ShredItem& item) { return item.verified; }))
        return QT_TRANSLATE_NOOP("Shared", "no file verified");
    switch (verification) {
    case Verification::LastPass:
        return QT_TRANSLATE_NOOP("Shared", "last pass read back");
    case Verification::AllPasses:
        return QT_TRANSLATE_NOOP("Shared", "all passes read back");
    case Verification::Off:
        break;
    }
    return QT_TRANSLATE_NOOP("Shared", "off");
}

QString fileCountText(std::int64_t count, const QString& language)
{
    QString text = ReportFactory::localizedText(QT_TRANSLATE_NOOP("Shared", "%ld File(s)"), language);
    return text.replace(u"%ld"_s, ReportFactory::localeFor(language).toString(qlonglong(count)));
}

QString loadImageResource(const QString& path, int size)
{
    QImage image(path);
    if (image.isNull()) {
        logMessage("Report image could not be loaded: ", path.toStdString());
        return QString();
    }
    return ReportFactory::embedStrOfImage(image, size);
}

// Length of the valid UTF-8 sequence at text[i], or 0 when the bytes there are not one.
std::size_t validUtf8Length(const std::string& text, std::size_t i)
{
    const auto byte = [&](std::size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    std::size_t length = 0;
    char32_t code = 0;
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
    } else {
        return 0;
    }
    if (i + length > text.size())
        return 0;
    for (std::size_t k = 1; k < length; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        code = (code << 6) | (byte(i + k) & 0x3F);
    }
    // Overlong forms, surrogates and code points beyond Unicode are not valid UTF-8.
    if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

QString hexEscape(unsigned char byte)
{
    return u"\\x"_s + QString::number(byte, 16).toUpper().rightJustified(2, u'0');
}

} // namespace

ReportFactory::ReportFactory(std::shared_ptr<const ShredResult> shredResult, ReportOptions options)
    : m_shredResult(std::move(shredResult)), m_options(std::move(options)),
      m_volumeProbe(VolumeProbe::system())
{
    ensureResources();
}

QString ReportFactory::generateHTMLReport()
{
    if (!m_shredResult)
        return QString();
    const QString language = reportLanguage(m_options.language);
    QFile file(templatePath(language));
    if (!file.open(QIODevice::ReadOnly)) {
        logMessage("Report template could not be read: ", file.fileName().toStdString());
        return QString();
    }
    const QString templateText = QString::fromUtf8(file.readAll());
    m_reportId = QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
    QHash<QString, QString> values = placeholderValues(language, m_reportId);
    // The QR code holds the digest of the report's content, so both are left out of what the
    // digest is taken over: the content is the report with these two places empty.
    const bool showQrCode = !values.value(u"REPORT_QRCODE"_s).isEmpty();
    values.remove(u"REPORT_QRCODE"_s);
    const QString report = fillTemplate(templateText, values);
    const QHash<QString, QString> empty{{u"REPORT_QRCODE"_s, QString()},
                                        {u"REPORT_CONTENT_DIGEST"_s, QString()}};
    m_contentDigest = contentDigestOf(fillTemplate(report, empty));
    const QString qrCode =
        showQrCode ? getQRCode(qrCodeText(m_reportId, m_contentDigest, m_options.signerFingerprint))
                   : QString();
    return fillTemplate(report,
                        {{u"REPORT_QRCODE"_s, qrCode}, {u"REPORT_CONTENT_DIGEST"_s, m_contentDigest}});
}

QString ReportFactory::contentDigestOf(const QString& content)
{
    return QString::fromLatin1(
        QCryptographicHash::hash(content.toUtf8(), QCryptographicHash::Sha256).toHex());
}

QHash<QString, QString> ReportFactory::placeholderValues(const QString& language,
                                                         const QString& reportId) const
{
    const ShredResult& result = *m_shredResult;
    const auto text = [&](const char* key) { return localizedText(key, language); };
    const VarSystemInfo systemInfo;
    // The method's title in the report's language, whatever the language of the job's texts.
    std::string title;
    if (result.algorithm) {
        title = AlgorithmCollection::titleFor(result.algorithm->identifier(),
                                              reportLanguage(language).toStdString());
        if (title.empty())
            title = result.algorithm->selectDesc();
    }
    const QString method = escapeHtml(QString::fromStdString(title));
    const QDateTime start = toDateTime(result.start);
    const QDateTime end = toDateTime(result.end);
    const double seconds = std::chrono::duration<double>(result.end - result.start).count();
    const bool showQrCode = m_options.showQrCode;

    QHash<QString, QString> values;
    values.insert(u"METHOD"_s, method);
    values.insert(u"REPORT_TOP_LOGO"_s, loadImageResource(u":/reports/ReportTopLogo.png"_s, 356));
    values.insert(u"REPORT_ICON_REPORT"_s, loadImageResource(u":/reports/logo"_s, 256));
    values.insert(u"DEVICE_MODEL"_s, escapeHtml(systemInfo.sysModelID()));
    values.insert(u"DEVICE_SYSTEMVERSION"_s, escapeHtml(systemInfo.sysOSVersion()));
    values.insert(u"DEVICE_SERIALNUMBER"_s, escapeHtml(systemInfo.sysSerialNumber()));
    values.insert(u"CINDERVAULT_VERSION"_s,
                  escapeHtml(u"Rendmark Mac 2® - "_s + QStringLiteral(CINDERVAULT_VERSION) + u" ("_s +
                             QStringLiteral(CINDERVAULT_BUILD_NUMBER) + u")"_s));
    // The program that made the report, for the PDF's document information (with the report ID
    // as its subject and the title and date as its title).
    values.insert(u"REPORT_CREATOR"_s, escapeHtml(u"Cindervault "_s + QStringLiteral(CINDERVAULT_VERSION)));
    values.insert(u"DEL_METHOD"_s, method);
    values.insert(u"DEL_VERIFICATION"_s, escapeHtml(text(verificationText(result))));
    values.insert(u"DEL_START"_s, escapeHtml(dateTimeText(start, true, language)));
    values.insert(u"DEL_END"_s, escapeHtml(dateTimeText(end, true, language)));
    values.insert(u"DEL_SIZE"_s, escapeHtml(byteCountText(result.bytesCountFinished, language)));
    values.insert(u"DEL_TIME"_s, FormattedStringFromTimeInterval(seconds));
    values.insert(u"USER_COMPANY"_s, escapeHtml(m_options.userName + u' ' + m_options.userCompany));
    values.insert(u"REPORT_ID"_s, escapeHtml(reportId));
    values.insert(u"REPORT_QRCODE"_s, showQrCode ? getQRCode(qrCodeText(reportId)) : QString());
    values.insert(u"REPORT_QRCODE_CSS"_s, showQrCode ? QString() : u"display:none"_s);
    values.insert(u"REPORT_DATE"_s, escapeHtml(dateTimeText(end, false, language)));
    values.insert(u"FILES_SIZE"_s, escapeHtml(byteCountText(result.bytesCountTotal, language)));
    values.insert(u"FILES_COUNT"_s,
                  escapeHtml(fileCountText(static_cast<std::int64_t>(result.fileCountTotal), language)));
    // The counts are unsigned: take the differences in signed arithmetic, so that more errors
    // than finished files (or more finished than total) never wrap round to huge numbers.
    const auto finished = static_cast<std::int64_t>(result.fileCountFinished);
    const auto total = static_cast<std::int64_t>(result.fileCountTotal);
    const auto errors = static_cast<std::int64_t>(result.errorCount);
    const auto otherErrors = static_cast<std::int64_t>(result.otherErrorCount);
    // Securely erased are the files the job removed after overwriting them, never more than the total.
    const std::int64_t erased =
        result.options && result.options->eraseFreeSpaceOnly
            ? 0
            : std::min(static_cast<std::int64_t>(result.fileCountRemoved), std::max<std::int64_t>(total, 0));
    values.insert(u"SECURE_ERASED"_s, escapeHtml(fileCountText(erased, language)));
    // Beside the files removed, their bytes: not every byte overwritten (files that stayed, free space).
    values.insert(u"SECURE_ERASED_SIZE"_s,
                  escapeHtml(byteCountText(erased > 0 ? result.bytesCountRemoved : 0, language)));
    values.insert(u"SECURE_COLOR"_s, kSuccessColor.toString());
    QString errorText = fileCountText(errors, language);
    if (otherErrors != 0)
        errorText += u" + "_s + localizedText(QT_TRANSLATE_NOOP("Shared", "%ld other error(s)"), language)
                                    .replace(u"%ld"_s, localeFor(language).toString(otherErrors));
    values.insert(u"ERROR_COUNT"_s, escapeHtml(errorText));
    values.insert(u"ERROR_COLOR"_s, (errors + otherErrors != 0 ? kFailureColor : kNeutralColor).toString());
    values.insert(u"SKIPPED_COUNT"_s,
                  escapeHtml(fileCountText(std::max<std::int64_t>(total - finished, 0), language)));
    values.insert(u"SKIPPED_COLOR"_s, (finished == total ? kNeutralColor : kFailureColor).toString());
    // The status title and the report's state row say the same: the job's real outcome.
    const char* status = statusKey(result);
    const QStringView statusColor = status == kSuccess ? kSuccessColor : kFailureColor;
    QString statusText = text(status);
    const std::vector<std::string> oldContent = result.volumesWithOldContent();
    if (status == kOldContentMayRemain) {
        QStringList mounts;
        for (const std::string& mount : oldContent)
            mounts << displayPath(mount);
        statusText =
            text(QT_TRANSLATE_NOOP("Shared", "Old content may remain on %1 until its free space is wiped"))
                .replace(u"%1"_s, mounts.join(u", "_s));
    }
    values.insert(u"STATUS_COLOR"_s, statusColor.toString());
    values.insert(u"STATUS_TITLE"_s, escapeHtml(text(status)));
    values.insert(u"DEL_STATUS"_s, escapeHtml(statusText));
    const bool hasVolumes = result.options && result.options->hasVolumes;
    values.insert(u"DISPLAY_VOLUME"_s, hasVolumes ? u"block"_s : u"none"_s);
    addVolumeValues(values, language);
    values.insert(u"FILE_SYSTEMS"_s, fileSystemRows(language));
    values.insert(u"FILE_DETAILS"_s, fileDetails(m_options.capFiles, language));
    values.insert(u"DISPLAY_SIGNATURE"_s, m_options.showSignature ? u"block"_s : u"none"_s);
    return values;
}

QString ReportFactory::fileSystemRows(const QString& language) const
{
    const auto text = [&](const char* key) { return localizedText(key, language); };
    QString rows;
    for (const ShredVolume& volume : m_shredResult->volumes) {
        QStringList facts{QString::fromStdString(volume.volume.fileSystem)};
        if (volume.volume.copyOnWrite)
            facts.front() += u" ("_s + text(QT_TRANSLATE_NOOP("Shared", "copy-on-write")) + u")"_s;
        // Free space the wipe could not reach may still hold deleted data: the volume was wiped
        // in part, and the row says how much stayed.
        if (volume.freeSpaceWiped && volume.unwrittenBytes > 0)
            facts << text(QT_TRANSLATE_NOOP("Shared", "free space wiped in part"))
                  << text(QT_TRANSLATE_NOOP("Shared", "%1 reserved by the file system could not be written"))
                         .replace(u"%1"_s, byteCountText(volume.unwrittenBytes, language));
        else if (volume.freeSpaceWiped)
            facts << text(volume.wipedAfterDeletion
                              ? QT_TRANSLATE_NOOP("Shared", "free space wiped after the deletion")
                              : QT_TRANSLATE_NOOP("Shared", "free space wiped"));
        else if (volume.volume.copyOnWrite)
            facts << text(QT_TRANSLATE_NOOP("Shared", "free space not wiped afterwards"));
        switch (volume.trim) {
        case ShredVolume::Trim::Done:
            facts << text(QT_TRANSLATE_NOOP("Shared", "TRIM done"));
            break;
        case ShredVolume::Trim::NotSupported:
            facts << text(QT_TRANSLATE_NOOP("Shared", "TRIM not supported"));
            break;
        case ShredVolume::Trim::Failed:
            facts << text(QT_TRANSLATE_NOOP("Shared", "TRIM failed"));
            break;
        case ShredVolume::Trim::NotAsked:
            break;
        }
        rows += u"<tr><th>%1</th><td>%2</td></tr>"_s.arg(escapeHtml(displayPath(volume.volume.mountPoint)),
                                                         escapeHtml(facts.join(u"; "_s)));
    }
    return rows;
}

void ReportFactory::addVolumeValues(QHash<QString, QString>& values, const QString& language) const
{
    const ShredResult& result = *m_shredResult;
    const QStringList names{
        u"VOLUME_PATH"_s, u"VOLUME_FREESPACE_COLOR"_s, u"VOLUME_FREESPACE"_s, u"VOLUME_DATA_COLOR"_s,
        u"VOLUME_DATA"_s, u"VOLUME_FORMAT_COLOR"_s,    u"VOLUME_FORMAT"_s};
    // Without volumes the block is hidden; its placeholders are emptied rather than left in the
    // text, where they would show in a copy of the text or a reader without styles.
    for (const QString& name : names)
        values.insert(name, QString());
    if (!result.options || !result.options->hasVolumes)
        return;
    const ShredOptions& options = *result.options;
    const auto text = [&](const char* key) { return escapeHtml(localizedText(key, language)); };

    if (result.paths) {
        for (const std::string& path : result.paths->paths()) {
            if (path == "/") {
                // The startup volume reads "/ (Debian)" when it has a name, else just "/".
                const std::string name =
                    m_volumeProbe.volumeName ? m_volumeProbe.volumeName(path) : std::string();
                values.insert(u"VOLUME_PATH"_s,
                              name.empty() ? u"/"_s : u"/ ("_s + escapeHtml(displayPath(name)) + u")"_s);
                break;
            }
            if (m_volumeProbe.isVolume && m_volumeProbe.isVolume(path)) {
                values.insert(u"VOLUME_PATH"_s, escapeHtml(displayPath(path)));
                break;
            }
        }
    }
    const auto setPair = [&](const QString& prefix, QStringView color, const char* key) {
        values.insert(prefix + u"_COLOR"_s, color.toString());
        values.insert(prefix, text(key));
    };
    const auto anyFailed = [&](ShredItem::Kind kind) {
        return std::any_of(result.history.begin(), result.history.end(),
                           [&](const ShredItem& item) { return item.kind == kind && !item.cancelled; });
    };
    // A volume whose free space could not be wiped is listed in the history under its own path.
    const bool freeSpaceFailed = anyFailed(ShredItem::Kind::Volume);
    const bool dataFailed = result.errorCount != 0 || anyFailed(ShredItem::Kind::Folder) ||
                            anyFailed(ShredItem::Kind::MountPoint);
    const bool formatFailed = anyFailed(ShredItem::Kind::Step);
    if (result.canceled && (options.eraseFreeSpace || options.eraseFreeSpaceOnly))
        setPair(u"VOLUME_FREESPACE"_s, kFailureColor, kCanceled);
    else if (freeSpaceFailed)
        setPair(u"VOLUME_FREESPACE"_s, kFailureColor, kErrors);
    else if ((options.eraseFreeSpace || options.eraseFreeSpaceOnly) &&
             std::any_of(result.volumes.begin(), result.volumes.end(),
                         [](const ShredVolume& volume) { return volume.unwrittenBytes > 0; }))
        setPair(u"VOLUME_FREESPACE"_s, kNeutralColor, QT_TRANSLATE_NOOP("Shared", "Wiped in part"));
    else if (options.eraseFreeSpace || options.eraseFreeSpaceOnly)
        setPair(u"VOLUME_FREESPACE"_s, kSuccessColor, kSuccess);
    else
        setPair(u"VOLUME_FREESPACE"_s, kNeutralColor, kSkipped);
    if (result.canceled)
        setPair(u"VOLUME_DATA"_s, kFailureColor, kCanceled);
    else if (options.eraseFreeSpaceOnly)
        setPair(u"VOLUME_DATA"_s, kNeutralColor, kSkipped);
    else if (dataFailed)
        setPair(u"VOLUME_DATA"_s, kFailureColor, kErrors);
    else
        setPair(u"VOLUME_DATA"_s, kSuccessColor, kSuccess);
    if (options.formatVolume && result.canceled)
        setPair(u"VOLUME_FORMAT"_s, kFailureColor, kCanceled);
    else if (options.formatVolume)
        setPair(u"VOLUME_FORMAT"_s, formatFailed ? kFailureColor : kSuccessColor,
                formatFailed ? kErrors : kSuccess);
    else
        setPair(u"VOLUME_FORMAT"_s, kNeutralColor, kSkipped);
}

QString ReportFactory::fileDetails(bool capFiles, const QString& language) const
{
    const std::vector<ShredItem>& history = m_shredResult->history;
    const bool deleting = !(m_shredResult->options && m_shredResult->options->eraseFreeSpaceOnly);
    QString rows;
    // About 200 characters a row; reserving once keeps a history of many thousands linear.
    const std::size_t shown = capFiles ? std::min<std::size_t>(history.size(), kFileRowCap) : history.size();
    rows.reserve(static_cast<qsizetype>(shown * 200 + 200));
    const bool copyOnWrite = std::any_of(m_shredResult->volumes.begin(), m_shredResult->volumes.end(),
                                         [](const ShredVolume& volume) { return volume.volume.copyOnWrite; });
    std::size_t number = 0;
    for (const ShredItem& item : history) {
        ++number;
        if (capFiles && number > static_cast<std::size_t>(kFileRowCap)) {
            rows += u"<tr><td></td><td colspan=\"4\">"_s +
                    escapeHtml(localizedText(QT_TRANSLATE_NOOP("Shared", "Remaining entries are dismissed"),
                                             language)) +
                    u"</td></tr>"_s;
            break;
        }
        rows += item.failed(deleting) ? u"<tr class=\"error\"><td>"_s : u"<tr class=\"\"><td>"_s;
        rows += QString::number(number);
        rows += u"</td><td>"_s;
        rows += escapeHtml(displayPath(item.path));
        // A file that stays elsewhere than it was: where it is, and the path the user knew.
        if (!item.formerPath.empty())
            rows += escapeHtml(u" ("_s + localizedText(QT_TRANSLATE_NOOP("Shared", "formerly"), language) +
                               u' ' + displayPath(item.formerPath) + u')');
        rows += u"</td><td>"_s;
        rows += escapeHtml(byteCountText(item.fileSize, language));
        rows += u"</td><td>"_s;
        QString state = stateText(item, language);
        if (const ShredVolume* volume = copyOnWrite ? m_shredResult->oldContentMayRemain(item) : nullptr)
            state +=
                u". "_s +
                localizedText(
                    QT_TRANSLATE_NOOP("Shared", "Old content may remain on %1 until its free space is wiped"),
                    language)
                    .replace(u"%1"_s, displayPath(volume->volume.mountPoint));
        rows += escapeHtml(state);
        rows += u"</td></tr>"_s;
    }
    return rows;
}

QString ReportFactory::stateText(const ShredItem& item, const QString& language)
{
    // A file's final state; a reason in the report's language when it has a key, with the system's
    // words after it.
    if (item.kind == ShredItem::Kind::File && item.state == ShredItem::State::Deleted)
        return localizedText(item.verified ? QT_TRANSLATE_NOOP("Shared", "Deleted, verified")
                                           : QT_TRANSLATE_NOOP("Shared", "Deleted"),
                             language);
    if (item.differsAt) {
        return localizedText(QT_TRANSLATE_NOOP("Shared", "Verification failed"), language) + u": "_s +
               localizedText(QT_TRANSLATE_NOOP("Shared", "first difference at byte"), language) + u' ' +
               QString::number(*item.differsAt);
    }
    if (item.reasonKey) {
        QString text = localizedText(item.reasonKey, language);
        if (!item.detail.empty())
            text += u": "_s + QString::fromStdString(item.detail);
        return text;
    }
    return QString::fromStdString(item.error.value_or(std::string()));
}

QString ReportFactory::fillTemplate(const QString& templateText, const QHash<QString, QString>& values)
{
    QString out;
    out.reserve(templateText.size() + values.value(u"FILE_DETAILS"_s).size() + 65536);
    qsizetype position = 0;
    while (position < templateText.size()) {
        const qsizetype open = templateText.indexOf(u"{{"_s, position);
        if (open < 0)
            break;
        const qsizetype close = templateText.indexOf(u"}}"_s, open + 2);
        if (close < 0)
            break;
        const QStringView name = QStringView(templateText).sliced(open + 2, close - open - 2);
        const auto value = values.constFind(name.toString());
        if (value == values.constEnd()) {
            // Not ours: keep the first brace and look again from the second ("{{{B}}}" holds {{B}}).
            out += QStringView(templateText).sliced(position, open + 1 - position);
            position = open + 1;
            continue;
        }
        out += QStringView(templateText).sliced(position, open - position);
        out += *value;
        position = close + 2;
    }
    out += QStringView(templateText).sliced(position);
    return out;
}

QString ReportFactory::templatePath(const QString& language)
{
    return languageOf(language.toStdString()) == Language::German ? u":/reports/reportTemplate_de.html"_s
                                                                  : u":/reports/reportTemplate.html"_s;
}

QString ReportFactory::FormattedStringFromTimeInterval(double seconds)
{
    const long long whole = std::isfinite(seconds) && seconds > 0 ? static_cast<long long>(seconds) : 0;
    return QString::asprintf("%02lld:%02lld:%02lld", whole / 3600, (whole / 60) % 60, whole % 60);
}

QString ReportFactory::qrCodeText(const QString& reportId, const QString& contentDigest,
                                  const QString& signerFingerprint)
{
    QString text = reportId + u'\n' + kQrNotice.toString();
    if (!contentDigest.isEmpty())
        text += u'\n' + kQrDigestLabel.toString() + contentDigest;
    if (!signerFingerprint.isEmpty())
        text += u'\n' + kQrSignerLabel.toString() + signerFingerprint.toUpper().remove(u':');
    return text;
}

QString ReportFactory::getQRCode(const QString& text)
{
    ZXing::BitMatrix matrix;
    try {
        const ZXing::MultiFormatWriter writer(ZXing::BarcodeFormat::QRCode);
        matrix = writer.encode(text.toStdString(), kQrCodeSize, kQrCodeSize);
    } catch (const std::exception& error) {
        logMessage("QR code could not be encoded: ", error.what());
        return QString();
    }
    if (matrix.width() <= 0 || matrix.height() <= 0)
        return QString();
    QImage image(matrix.width(), matrix.height(), QImage::Format_RGB32);
    const QRgb on = qRgb(0, 0, 0);
    const QRgb off = qRgb(250, 250, 250);
    for (int y = 0; y < matrix.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < matrix.width(); ++x)
            line[x] = matrix.get(x, y) ? on : off;
    }
    return embedStrOfImage(image, kQrCodeSize);
}

QString ReportFactory::embedStrOfImage(const QImage& image, int size)
{
    if (image.isNull() || size <= 0)
        return QString();
    QImage copy = image;
    // The logical size travels in the PNG as its resolution (size points at 72 per inch); the
    // pixels stay as they are.
    const int dotsPerMeter = qRound(copy.width() * 72.0 / size / 0.0254);
    copy.setDotsPerMeterX(dotsPerMeter);
    copy.setDotsPerMeterY(qRound(copy.height() * 72.0 / size / 0.0254));
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!copy.save(&buffer, "PNG"))
        return QString();
    return kDataUrlPrefix.toString() + QString::fromLatin1(png.toBase64());
}

QString ReportFactory::escapeHtml(const QString& text)
{
    QString out;
    out.reserve(text.size() + 16);
    for (const QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += u"&amp;"_s;
            break;
        case u'<':
            out += u"&lt;"_s;
            break;
        case u'>':
            out += u"&gt;"_s;
            break;
        case u'"':
            out += u"&quot;"_s;
            break;
        case u'\'':
            out += u"&#39;"_s;
            break;
        case u'{':
            out += u"&#123;"_s;
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString ReportFactory::displayPath(const std::string& path)
{
    QString out;
    out.reserve(static_cast<qsizetype>(path.size()));
    std::size_t i = 0;
    while (i < path.size()) {
        const auto byte = static_cast<unsigned char>(path[i]);
        const std::size_t length = validUtf8Length(path, i);
        if (length == 0 || byte < 0x20 || byte == 0x7F) {
            out += hexEscape(byte);
            ++i;
            continue;
        }
        out += QString::fromUtf8(path.data() + i, static_cast<qsizetype>(length));
        i += length;
    }
    return out;
}

const char* ReportFactory::statusKey(const ShredResult& result)
{
    switch (result.status()) {
    case ShredResult::Status::Cancelled:
        return kCanceled;
    case ShredResult::Status::Errors:
        return kErrors;
    case ShredResult::Status::Success:
        break;
    }
    // A job that did all it was asked, but left overwritten files on a copy-on-write volume
    // without a wipe of its free space afterwards, is no plain success: their old content may
    // still be on that volume.
    return result.volumesWithOldContent().empty() ? kSuccess : kOldContentMayRemain;
}

const char* ReportFactory::knownStatusKey(QStringView key)
{
    for (const char* known : {kSuccess, kErrors, kCanceled, kOldContentMayRemain}) {
        if (key == QLatin1StringView(known))
            return known;
    }
    return nullptr;
}

QString ReportFactory::reportLanguage(const QString& language)
{
    const std::string_view tag = spokenLanguage(language.toStdString());
    return QString::fromLatin1(tag.data(), static_cast<qsizetype>(tag.size()));
}

QString ReportFactory::localizedText(const char* key, const QString& language)
{
    // The tables of the report's language (not those the program's texts are bound to, which keep
    // the language the program started with), so that it reads in one language.
    return QString::fromStdString(localizedIn(key, reportLanguage(language).toStdString()));
}

QString ReportFactory::byteCountText(std::int64_t bytes, const QString& language)
{
    ByteCountStyle style = ByteCountStyle::forLanguage(reportLanguage(language).toStdString());
    style.decimalPoint = localeFor(language).decimalPoint().toStdString();
    return QString::fromStdString(ByteCountFormatter::format(bytes, style));
}

QLocale ReportFactory::localeFor(const QString& language)
{
    // The desktop's own conventions when it speaks the report's language (en_GB stays British).
    const QLocale system = QLocale::system();
    const QLocale wanted(reportLanguage(language));
    return system.language() == wanted.language() ? system : wanted;
}

QString ReportFactory::dateTimeText(const QDateTime& time, bool fullTime, const QString& language)
{
    const QLocale locale = localeFor(language);
    // The long time format has seconds and the time zone; the medium style is that without the
    // zone (the short format has no seconds).
    QString timeFormat = locale.timeFormat(QLocale::LongFormat);
    if (!fullTime)
        timeFormat = timeFormat.remove(u't').trimmed();
    return locale.toString(time.toLocalTime().date(), QLocale::ShortFormat) + u' ' +
           locale.toString(time.toLocalTime().time(), timeFormat);
}

QDateTime ReportFactory::toDateTime(ShredResult::Clock::time_point time)
{
    const auto milliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(time.time_since_epoch());
    return QDateTime::fromMSecsSinceEpoch(milliseconds.count());
}

} // namespace cv
