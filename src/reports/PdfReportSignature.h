#pragma once

#include "common/Expected.h"
#include "reports/ReportVerdict.h"

#include <QByteArray>
#include <QDateTime>
#include <QStringList>

namespace cv {

class ReportSigningKey;

// The standard embedded signature of a PDF report, as PDF viewers and poppler's pdfsig check it: an
// invisible signature field on the first page (in the document's AcroForm) whose value is a
// signature dictionary (/Filter /Adobe.PPKLite, /SubFilter /adbe.pkcs7.detached) with a detached
// CMS signature in /Contents over the bytes /ByteRange names: the whole file but the /Contents
// value. The document information also carries the report's ID and content digest, inside the
// signed bytes.
//
// The file is rewritten once by qpdf with placeholders for /ByteRange and /Contents; the
// placeholders are then filled in place in the written bytes, which keeps every offset.
class PdfReportSignature
{
public:
    // Room for the signature in /Contents, in bytes (written as twice as many hexadecimal digits).
    static constexpr int kSignatureRoom = 8192;
    // Keys of the document information that hold the report's ID and content digest.
    static constexpr char kReportIdKey[] = "/CindervaultReportID";
    static constexpr char kContentDigestKey[] = "/CindervaultContentDigest";

    // The PDF signed with key, carrying reportId and contentDigest.
    static Expected<QByteArray, QString> sign(const QByteArray& pdf, const ReportSigningKey& key,
                                              const QString& reportId, const QString& contentDigest);

    // Checks a signed PDF report: NotSigned without a signature; Altered when the signed range does
    // not cover the whole file but the signature value (an incremental update appended after
    // signing counts as a change) or the bytes are not those signed; otherwise as
    // ReportSignatureCheck::checkCms says, with the report's ID and content digest.
    static ReportVerdict check(const QByteArray& pdf, const QStringList& trustedFingerprints);
};

} // namespace cv
