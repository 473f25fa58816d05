// verify-report against reports of real jobs made by the command line: the user's own key is
// trusted, another's only with --trust; a changed report fails with its reason; --qr matches a
// printed report's QR code with its file; --json for scripts; usage errors exit 2.
#include "ProcessRunner.h"
#include "TempDir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QString>

#include <dirent.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace t = cv::test;

namespace {

// A home of the test's own: settings (automatic saving on), report folder and signing key.
class VerifyReportTest : public ::testing::Test
{
protected:
    t::TempDir m_home;

    void SetUp() override { useHome(m_home.path()); }

    static void useHome(const std::string& home)
    {
        ::setenv("HOME", home.c_str(), 1);
        ::setenv("XDG_CONFIG_HOME", (home + "/.config").c_str(), 1);
        ::setenv("XDG_DATA_HOME", (home + "/.local/share").c_str(), 1);
        ::unsetenv("XDG_DOCUMENTS_DIR");
    }

    static t::ProcessResult cli(std::vector<std::string> args)
    {
        args.insert(args.begin(), CINDERVAULT_CLI);
        return t::runProcess(args);
    }

    // Shreds three files of a folder of the test's and returns the report made in format.
    std::string shredWithReport(const std::string& format, const std::string& name)
    {
        const std::string folder = m_home / name;
        ::mkdir(folder.c_str(), 0700);
        for (const char* file : {"a.txt", "b.txt", "c.txt"})
            t::writeFile(folder + "/" + file, std::string("secret ") + file);
        const std::string reports = m_home / ("reports-" + name);
        const auto shred =
            cli({"shred", "--yes", "--report-dir", reports, "--report-format", format, folder});
        EXPECT_EQ(shred.exitCode, 0) << shred.err;
        EXPECT_EQ(shred.err.find("not signed"), std::string::npos) << shred.err;
        DIR* listing = ::opendir(reports.c_str());
        std::string report;
        while (listing) {
            const dirent* entry = ::readdir(listing);
            if (!entry)
                break;
            if (std::string(entry->d_name).rfind("deletionReport_", 0) == 0)
                report = reports + "/" + entry->d_name;
        }
        if (listing)
            ::closedir(listing);
        return report;
    }

    static std::string bytesOf(const std::string& path)
    {
        const auto bytes = t::readFile(path);
        return std::string(bytes.begin(), bytes.end());
    }
};

} // namespace

TEST_F(VerifyReportTest, OwnReportsAreValidAndChangedOnesFailWithTheirReason)
{
    const std::string pdf = shredWithReport("pdf", "one");
    const std::string html = shredWithReport("html", "two");
    ASSERT_FALSE(pdf.empty());
    ASSERT_FALSE(html.empty());

    const auto valid = cli({"verify-report", pdf, html});
    EXPECT_EQ(valid.exitCode, 0) << valid.out << valid.err;
    for (const std::string& file : {pdf, html}) {
        const auto line = valid.out.find(file + ": valid, signed by ");
        ASSERT_NE(line, std::string::npos) << valid.out;
        EXPECT_NE(valid.out.find(", unaltered", line), std::string::npos) << valid.out;
    }

    // A row's text changed in the HTML, bytes appended to the PDF.
    std::string changedHtml = bytesOf(html);
    const auto row = changedHtml.find("a.txt");
    ASSERT_NE(row, std::string::npos);
    changedHtml.replace(row, 5, "x.txt");
    t::writeFile(m_home / "changed.html", changedHtml);
    t::writeFile(m_home / "appended.pdf", bytesOf(pdf) + "\n%%EOF\n");
    const auto altered =
        cli({"verify-report", "--json", m_home / "changed.html", m_home / "appended.pdf", pdf});
    EXPECT_EQ(altered.exitCode, 1) << altered.out << altered.err;
    const QJsonObject json = QJsonDocument::fromJson(QByteArray::fromStdString(altered.out)).object();
    EXPECT_FALSE(json[QLatin1String("valid")].toBool());
    const QJsonArray reports = json[QLatin1String("reports")].toArray();
    ASSERT_EQ(reports.size(), 3) << altered.out;
    EXPECT_EQ(reports[0][QLatin1String("state")].toString(), QStringLiteral("altered"));
    EXPECT_TRUE(
        reports[0][QLatin1String("message")].toString().startsWith(QStringLiteral("altered after signing")));
    EXPECT_EQ(reports[1][QLatin1String("state")].toString(), QStringLiteral("altered"));
    EXPECT_EQ(reports[2][QLatin1String("state")].toString(), QStringLiteral("valid"));
    EXPECT_TRUE(reports[2][QLatin1String("valid")].toBool());
    EXPECT_FALSE(reports[2][QLatin1String("fingerprint")].toString().isEmpty());

    // The printed QR code's text: ID, notice, digest and signer.
    const QString qr = reports[2][QLatin1String("reportId")].toString() +
                       QStringLiteral("\nCindervault deletion report\ndigest:") +
                       reports[2][QLatin1String("contentDigest")].toString() + QStringLiteral("\nsigner:") +
                       reports[2][QLatin1String("fingerprint")].toString().remove(QLatin1Char(':'));
    const auto matched = cli({"verify-report", "--qr", qr.toStdString(), pdf});
    EXPECT_EQ(matched.exitCode, 0) << matched.out << matched.err;
    EXPECT_NE(matched.out.find("the QR code matches this report"), std::string::npos) << matched.out;
    const auto otherFile = cli({"verify-report", "--qr", qr.toStdString(), html});
    EXPECT_EQ(otherFile.exitCode, 1) << otherFile.out;
    EXPECT_NE(otherFile.out.find("the QR code names another report"), std::string::npos) << otherFile.out;

    const t::TempDir plain;
    t::writeFile(plain / "plain.html", std::string("<html><body>no signature</body></html>\n"));
    const auto notSigned = cli({"verify-report", plain / "plain.html"});
    EXPECT_EQ(notSigned.exitCode, 1);
    EXPECT_NE(notSigned.out.find(": not signed"), std::string::npos) << notSigned.out;
}

TEST_F(VerifyReportTest, AnotherUsersReportIsUnknownUntilItsCertificateIsTrusted)
{
    const std::string report = shredWithReport("html", "theirs");
    ASSERT_FALSE(report.empty());
    const std::string certificate =
        m_home / ".local/share/Ostrevane/Cindervault/report-signing/certificate.pem";

    const t::TempDir recipient;
    useHome(recipient.path());
    const auto unknown = cli({"verify-report", report});
    EXPECT_EQ(unknown.exitCode, 1) << unknown.out << unknown.err;
    EXPECT_NE(unknown.out.find("signed by an unknown key "), std::string::npos) << unknown.out;
    const auto trusted = cli({"verify-report", "--trust", certificate, report});
    EXPECT_EQ(trusted.exitCode, 0) << trusted.out << trusted.err;
    EXPECT_NE(trusted.out.find(": valid, signed by "), std::string::npos) << trusted.out;

    // Usage errors: no file, a --qr for several files, a certificate that is none.
    EXPECT_EQ(cli({"verify-report"}).exitCode, 2);
    EXPECT_EQ(cli({"verify-report", "--qr", "x", report, report}).exitCode, 2);
    EXPECT_EQ(cli({"verify-report", "--trust", report, report}).exitCode, 2);
    EXPECT_EQ(cli({"verify-report", "--no-such-option", report}).exitCode, 2);
}
