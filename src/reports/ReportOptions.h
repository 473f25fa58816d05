#pragma once

#include <QString>

namespace cv {

// How one report is made and where it goes: the caller decides, once per report. The window and
// the command line fill it from the settings store (ReportSettings) when they make a report; the
// command line's --report-dir and --report-format take the place of the stored folder and format.
struct ReportOptions
{
    // The report's language: "de" gives a German report, any other language an English one.
    QString language;
    bool showQrCode = true;    // the QR code of the report ID
    bool showSignature = true; // the field for a signature
    bool capFiles = false;     // the file table ends after ReportFactory::kFileRowCap rows
    // Printed as the user's name and company.
    QString userName;
    QString userCompany;

    // The folder of the user's signing key (ReportSigningKey), made there on first use; empty: the
    // report is not signed. The window and the command line sign with the user's key.
    QString signingKeyFolder;
    // The fingerprint of the key that signs the report, for its QR code; set by the builder.
    QString signerFingerprint;

    // Whether the report of a finished job is saved at all, in which folder, and as "HTML" or "PDF".
    bool autoSave = true;
    QString folder;
    QString format = QStringLiteral("PDF");
};

} // namespace cv
