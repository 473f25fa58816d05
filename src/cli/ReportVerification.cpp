#include "cli/ReportVerification.h"

#include "cli/CommandLine.h"
#include "cli/JsonWriter.h"
#include "common/ExitStatus.h"
#include "reports/ReportSigningKey.h"
#include "reports/ReportVerifier.h"

#include <QFile>

#include <cstdio>

using namespace Qt::StringLiterals;

namespace cv::cli {

namespace {

struct Checked
{
    std::string file;
    ReportVerdict verdict;
    std::optional<QString> qrMismatch; // set when a QR code was matched: empty when it matches
};

bool passed(const Checked& checked)
{
    return checked.verdict.state == ReportVerdict::State::Valid &&
           (!checked.qrMismatch || checked.qrMismatch->isEmpty());
}

void printJson(const std::vector<Checked>& results)
{
    JsonWriter json;
    json.beginObject();
    json.key("reports");
    json.beginArray();
    bool allPassed = true;
    for (const Checked& checked : results) {
        const ReportVerdict& verdict = checked.verdict;
        allPassed = allPassed && passed(checked);
        json.beginObject();
        json.bytesMember("file", checked.file);
        json.key("state");
        json.string(ReportVerifier::stateName(verdict.state).toStdString());
        json.key("valid");
        json.boolean(passed(checked));
        json.key("message");
        json.string(ReportVerifier::sentence(verdict).toStdString());
        if (!verdict.fingerprint.isEmpty()) {
            json.key("signer");
            json.string(verdict.signerName.toStdString());
            json.key("fingerprint");
            json.string(verdict.fingerprint.toStdString());
        }
        if (verdict.signedAt.isValid()) {
            json.key("signedAt");
            json.string(verdict.signedAt.toString(Qt::ISODate).toStdString());
        }
        if (!verdict.reportId.isEmpty()) {
            json.key("reportId");
            json.string(verdict.reportId.toStdString());
            json.key("contentDigest");
            json.string(verdict.contentDigest.toStdString());
        }
        if (checked.qrMismatch) {
            json.key("qrMatches");
            json.boolean(checked.qrMismatch->isEmpty());
            if (!checked.qrMismatch->isEmpty()) {
                json.key("qrMismatch");
                json.string(checked.qrMismatch->toStdString());
            }
        }
        json.endObject();
    }
    json.endArray();
    json.key("valid");
    json.boolean(allPassed);
    json.endObject();
    std::printf("%s\n", json.text().c_str());
}

void printLines(const std::vector<Checked>& results)
{
    for (const Checked& checked : results) {
        std::printf("%s: %s\n", checked.file.c_str(),
                    ReportVerifier::sentence(checked.verdict).toUtf8().constData());
        if (checked.qrMismatch)
            std::printf("%s: %s\n", checked.file.c_str(),
                        checked.qrMismatch->isEmpty() ? "the QR code matches this report"
                                                      : checked.qrMismatch->toUtf8().constData());
    }
}

} // namespace

int verifyReportsForCli(const VerifyReportRequest& request)
{
    QStringList certificates;
    for (const std::string& path : request.trustedCertificates)
        certificates.append(QFile::decodeName(QByteArray::fromStdString(path)));
    const auto trusted = ReportVerifier::trustedFingerprints(ReportSigningKey::defaultFolder(), certificates);
    if (!trusted) {
        printError("--trust: " + trusted.error().toStdString());
        return kExitUsage;
    }
    std::vector<Checked> results;
    for (const std::string& file : request.files) {
        Checked checked{
            file, ReportVerifier::verifyFile(QFile::decodeName(QByteArray::fromStdString(file)), *trusted),
            std::nullopt};
        if (request.qrText)
            checked.qrMismatch =
                ReportVerifier::qrMismatch(QString::fromStdString(*request.qrText), checked.verdict);
        results.push_back(std::move(checked));
    }
    if (request.json)
        printJson(results);
    else
        printLines(results);
    for (const Checked& checked : results)
        if (!passed(checked))
            return kExitFailure;
    return kExitOk;
}

} // namespace cv::cli
