#include "reports/ReportVerifier.h"

#include "reports/HtmlReportSignature.h"
#include "reports/PdfReportSignature.h"
#include "reports/ReportFactory.h"
#include "reports/ReportSignatureCheck.h"
#include "reports/ReportSigningKey.h"

#include <QFile>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// Whether a value of the QR code names the file's: equal, or (a short form) its beginning.
bool sameDigits(const QString& fromQr, const QString& fromFile)
{
    const QString qr = ReportSignatureCheck::normalizedFingerprint(fromQr);
    const QString file = ReportSignatureCheck::normalizedFingerprint(fromFile);
    return !file.isEmpty() && qr.size() >= ReportVerifier::kShortestPrefix && file.startsWith(qr);
}

} // namespace

ReportVerdict ReportVerifier::verifyFile(const QString& path, const QStringList& trustedFingerprints)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ReportVerdict verdict;
        verdict.detail = u"cannot be read: "_s + file.errorString();
        return verdict;
    }
    return verifyBytes(file.readAll(), trustedFingerprints);
}

ReportVerdict ReportVerifier::verifyBytes(const QByteArray& report, const QStringList& trustedFingerprints)
{
    if (report.startsWith("%PDF-"))
        return PdfReportSignature::check(report, trustedFingerprints);
    return HtmlReportSignature::check(report, trustedFingerprints);
}

Expected<QStringList, QString> ReportVerifier::trustedFingerprints(const QString& keyFolder,
                                                                   const QStringList& certificateFiles)
{
    QStringList fingerprints;
    if (!keyFolder.isEmpty()) {
        const QString own = keyFolder + u'/' + ReportSigningKey::kCertificateFileName.toString();
        if (QFile::exists(own)) {
            if (const auto fingerprint = ReportSigningKey::fingerprintOfFile(own))
                fingerprints.append(*fingerprint);
        }
    }
    for (const QString& path : certificateFiles) {
        const auto fingerprint = ReportSigningKey::fingerprintOfFile(path);
        if (!fingerprint)
            return Unexpected(fingerprint.error());
        fingerprints.append(*fingerprint);
    }
    return fingerprints;
}

QString ReportVerifier::qrMismatch(const QString& qrText, const ReportVerdict& verdict)
{
    const QStringList lines = qrText.split(u'\n', Qt::SkipEmptyParts);
    if (lines.isEmpty() || lines.front().trimmed().compare(verdict.reportId, Qt::CaseInsensitive) != 0 ||
        verdict.reportId.isEmpty())
        return u"the QR code names another report"_s;
    QString digest;
    QString signer;
    for (const QString& line : lines) {
        if (line.startsWith(ReportFactory::kQrDigestLabel))
            digest = line.mid(ReportFactory::kQrDigestLabel.size());
        else if (line.startsWith(ReportFactory::kQrSignerLabel))
            signer = line.mid(ReportFactory::kQrSignerLabel.size());
    }
    if (!sameDigits(digest, verdict.contentDigest))
        return u"the QR code's digest is not this report's"_s;
    if (!sameDigits(signer, verdict.fingerprint))
        return u"the QR code names another signer"_s;
    return QString();
}

QString ReportVerifier::sentence(const ReportVerdict& verdict)
{
    switch (verdict.state) {
    case ReportVerdict::State::Valid:
        return u"valid, signed by %1 %2 on %3, unaltered"_s.arg(
            verdict.signerName, verdict.fingerprint,
            verdict.signedAt.isValid() ? verdict.signedAt.toString(u"yyyy-MM-dd HH:mm:ss 'UTC'"_s)
                                       : u"an unknown date"_s);
    case ReportVerdict::State::UnknownKey:
        return u"signed by an unknown key %1 (%2)"_s.arg(verdict.fingerprint, verdict.signerName);
    case ReportVerdict::State::Altered:
    case ReportVerdict::State::NotSigned:
    case ReportVerdict::State::Unreadable:
        break;
    }
    return verdict.detail;
}

QString ReportVerifier::stateName(ReportVerdict::State state)
{
    switch (state) {
    case ReportVerdict::State::Valid:
        return u"valid"_s;
    case ReportVerdict::State::UnknownKey:
        return u"unknown-key"_s;
    case ReportVerdict::State::Altered:
        return u"altered"_s;
    case ReportVerdict::State::NotSigned:
        return u"not-signed"_s;
    case ReportVerdict::State::Unreadable:
        break;
    }
    return u"unreadable"_s;
}

} // namespace cv
