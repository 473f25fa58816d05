#include "reports/HtmlReportSignature.h"

#include "reports/ReportFactory.h"
#include "reports/ReportSignatureCheck.h"
#include "reports/ReportSigningKey.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

namespace cv {

Expected<QByteArray, QString> HtmlReportSignature::sign(const QByteArray& html, const ReportSigningKey& key)
{
    // The marker starts a line of its own: a report that does not end with a line break gets one,
    // inside the signed bytes.
    QByteArray signedHtml = html;
    if (!signedHtml.endsWith('\n'))
        signedHtml += '\n';
    const auto cms = key.sign(signedHtml);
    if (!cms)
        return Unexpected(cms.error());
    signedHtml += kMarker;
    const QByteArray base64 = cms->toBase64();
    for (qsizetype at = 0; at < base64.size(); at += 76)
        signedHtml += base64.mid(at, 76) + '\n';
    signedHtml += kEnd;
    return signedHtml;
}

ReportVerdict HtmlReportSignature::check(const QByteArray& html, const QStringList& trustedFingerprints)
{
    ReportVerdict verdict;
    const qsizetype marker = html.lastIndexOf(kMarker);
    if (marker < 0) {
        verdict.state = ReportVerdict::State::NotSigned;
        verdict.detail = u"not signed"_s;
        return verdict;
    }
    const qsizetype bodyStart = marker + qsizetype(sizeof kMarker) - 1;
    const qsizetype end = html.indexOf(kEnd, bodyStart);
    if (end < 0 || end + qsizetype(sizeof kEnd) - 1 != html.size()) {
        verdict.state = ReportVerdict::State::Altered;
        verdict.detail = end < 0 ? u"altered after signing: the signature block is cut short"_s
                                 : u"altered after signing: bytes were added after the signature"_s;
        return verdict;
    }
    const QByteArray body = html.mid(bodyStart, end - bodyStart).replace('\n', QByteArray());
    const auto cms = QByteArray::fromBase64Encoding(body, QByteArray::AbortOnBase64DecodingErrors);
    const QByteArray signedBytes = html.left(marker);
    verdict = ReportSignatureCheck::checkCms(cms ? *cms : QByteArray(), signedBytes, trustedFingerprints);
    verdict.reportId = metaContent(signedBytes, ReportFactory::kReportIdMeta.toString());
    verdict.contentDigest = metaContent(signedBytes, ReportFactory::kContentDigestMeta.toString());
    return verdict;
}

QString HtmlReportSignature::metaContent(const QByteArray& html, const QString& name)
{
    const QRegularExpression meta(u"<meta name=\""_s + QRegularExpression::escape(name) +
                                  u"\" content=\"([^\"]*)\">"_s);
    return meta.match(QString::fromUtf8(html.left(16384))).captured(1);
}

} // namespace cv
