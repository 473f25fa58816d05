#pragma once

#include "reports/ReportVerdict.h"

#include <QByteArray>
#include <QStringList>

namespace cv {

// Checks a detached CMS signature over the signed bytes of a report: whether it holds (the bytes are
// those that were signed, by the key of the certificate it carries), who signed, when, and whether
// that signer is one of the trusted certificates (given by their SHA-256 fingerprints). The
// signer's certificate is taken as the report carries it: a self-signed key is trusted by its
// fingerprint alone.
class ReportSignatureCheck
{
public:
    // Valid, UnknownKey or Altered, with the signer's name, fingerprint and signing time when the
    // signature can be read.
    static ReportVerdict checkCms(const QByteArray& cms, const QByteArray& signedBytes,
                                  const QStringList& trustedFingerprints);

    // A fingerprint for comparing: hexadecimal digits only, upper-case ("ab:cd" and "ABCD" agree).
    static QString normalizedFingerprint(const QString& fingerprint);
};

} // namespace cv
