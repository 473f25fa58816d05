#pragma once

#include "common/Expected.h"
#include "reports/ReportVerdict.h"

#include <QByteArray>
#include <QStringList>

namespace cv {

class ReportSigningKey;

// The signature of an HTML report, carried inside the report so that it travels as one file: a
// comment after the document's last byte,
//
//   <!-- cindervault-report-signature
//   Base64 of a detached CMS signature (DER), in lines of 76 characters
//   -->
//
// over the exact bytes of the report before the comment. A comment is never shown and never runs;
// the report reads the same in every browser with or without it.
class HtmlReportSignature
{
public:
    static constexpr char kMarker[] = "<!-- cindervault-report-signature\n";
    static constexpr char kEnd[] = "-->\n";

    // The report with its signature block appended.
    static Expected<QByteArray, QString> sign(const QByteArray& html, const ReportSigningKey& key);

    // Checks a signed HTML report: NotSigned without a signature block; Altered when the report's
    // bytes are not those signed, or anything follows the block; otherwise as
    // ReportSignatureCheck::checkCms says, with the report's ID and content digest.
    static ReportVerdict check(const QByteArray& html, const QStringList& trustedFingerprints);

    // The content of <meta name="NAME" content="..."> in html; empty when absent.
    static QString metaContent(const QByteArray& html, const QString& name);
};

} // namespace cv
