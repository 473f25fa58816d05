#pragma once

#include <optional>
#include <string>
#include <vector>

namespace cv::cli {

// What verify-report checks: report files (bytes, as given), the certificates to trust besides the
// user's own (PEM or DER files), the text of a printed report's QR code to match with the one file,
// and whether the answer is JSON.
struct VerifyReportRequest
{
    std::vector<std::string> files;
    std::vector<std::string> trustedCertificates;
    std::optional<std::string> qrText;
    bool json = false;
};

// Checks each file's signature (ReportVerifier) and prints one line per file ("FILE: valid, signed
// by NAME FINGERPRINT on DATE, unaltered", or what is wrong), or with json one object: "reports",
// an object per file, and "valid", whether all passed.
// Returns 0 when every file is valid (and matches the QR code when one is given), 1 otherwise,
// 2 when a certificate to trust cannot be read.
int verifyReportsForCli(const VerifyReportRequest& request);

} // namespace cv::cli
