#pragma once

#include "common/Expected.h"
#include "reports/ReportVerdict.h"

#include <QByteArray>
#include <QStringList>

namespace cv {

// Checks report files, PDF or HTML, against the keys their reader trusts, and matches a printed
// report's QR code with a file. What a valid signature proves: the file is, byte for byte, the one
// the holder of that key signed. It does not prove that what the report says is true, and a
// self-signed key says nothing of its holder until its fingerprint has been confirmed another way.
class ReportVerifier
{
public:
    // Fingerprints of at least this many hexadecimal digits (a QR code's short form) are compared
    // by their beginning.
    static constexpr int kShortestPrefix = 16;

    // A file beginning with "%PDF-" is checked as a PDF report, any other as an HTML report.
    static ReportVerdict verifyFile(const QString& path, const QStringList& trustedFingerprints);
    static ReportVerdict verifyBytes(const QByteArray& report, const QStringList& trustedFingerprints);

    // The fingerprints reports are checked against: the certificate of the user's own key in
    // keyFolder (when there is one) and each certificate file (PEM or DER) given; an error names
    // a file that holds no certificate.
    static Expected<QStringList, QString> trustedFingerprints(const QString& keyFolder,
                                                              const QStringList& certificateFiles);

    // What differs between a QR code's text (ReportFactory::qrCodeText) and a checked file: its
    // report ID, content digest or signer. Empty when they match.
    static QString qrMismatch(const QString& qrText, const ReportVerdict& verdict);

    // One line for a person: "valid, signed by NAME FINGERPRINT on DATE, unaltered", or what is
    // wrong ("altered after signing", "signed by an unknown key FINGERPRINT", "not signed").
    static QString sentence(const ReportVerdict& verdict);
    // "valid", "unknown-key", "altered", "not-signed", "unreadable": the state for scripts.
    static QString stateName(ReportVerdict::State state);
};

} // namespace cv
