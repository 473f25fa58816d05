// Rendering and saving with the real renderer program: PDFs checked with pdfinfo and pdftotext (a
// single page for a small job, pages of full width for a large one), HTML files, automatic saving
// off, same-second names, renderers that crash, fail or hang, and the staged report's end.
#include "reports/HtmlReportSignature.h"
#include "reports/ReportBuilder.h"
#include "reports/ReportCardFacts.h"
#include "reports/ReportFactory.h"
#include "reports/ReportFileWriter.h"
#include "reports/ReportSettings.h"
#include "reports/ReportStage.h"
#include "settings/SettingsManager.h"

#include "ProcessRunner.h"
#include "ReportTestData.h"
#include "TempDir.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <csignal>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using cv::ReportBuilder;
using cv::ReportOutcome;
using cv::SettingsManager;
using cv::test::makeResult;
using namespace Qt::StringLiterals;

namespace {

class ReportBuilderTest : public ::testing::Test
{
protected:
    cv::test::TempDir m_dir;
    SettingsManager m_settings{QString::fromStdString(m_dir / "settings.ini")};
    QString m_folder = QString::fromStdString(m_dir / "reports");

    void SetUp() override
    {
        m_settings.setString(m_folder, SettingsManager::kSettingsDeletionReportLocation);
    }

    // The report options the settings hold now.
    cv::ReportOptions options() const { return cv::ReportSettings::options(m_settings); }

    // Builds one report with options (by default the settings') and waits for it; the saved
    // path, or empty.
    QString build(ReportBuilder& builder, std::shared_ptr<const cv::ShredResult> result,
                  std::optional<cv::ReportOptions> with = std::nullopt)
    {
        QSignalSpy finished(&builder, &ReportBuilder::finished);
        builder.createReportWithShredResult(std::move(result), with ? *with : options());
        if (!finished.wait(120000))
            return u"<timeout>"_s;
        return finished.first().first().toString();
    }

    QStringList saved() const { return QDir(m_folder).entryList(QDir::Files | QDir::Hidden, QDir::Name); }
};

std::string pdfText(const QString& path)
{
    return cv::test::runProcess({"pdftotext", "-layout", path.toStdString(), "-"}).out;
}

} // namespace

TEST_F(ReportBuilderTest, SavesOneSinglePagePdfPerReportWithoutOverwriting)
{
    auto result = makeResult(40);
    result->errorCount = 1;
    result->history[3].success = false;
    result->history[3].state = cv::ShredItem::State::NotOverwritten;
    result->history[3].error = "Failed to open file";
    result->history[4].path = "/data/report-test/a<b>&\"c'.txt";
    result->history[5].path = std::string("/data/report-test/caf\xE9.txt");
    ReportBuilder builder;
    builder.setVolumeProbe(cv::test::fakeVolumes("", {}));
    QSignalSpy generated(&builder, &ReportBuilder::reportGenerated);

    const QString path = build(builder, result);
    ASSERT_FALSE(path.isEmpty());
    EXPECT_EQ(path, m_folder + u'/' +
                        cv::ReportFileWriter::fileBaseName(cv::ReportFactory::toDateTime(result->end)) +
                        u".pdf"_s);
    EXPECT_EQ(generated.count(), 1);
    EXPECT_EQ(builder.outcome().path, path);

    // One page, as wide as the view (1098 pixels are 823.5 points), holding the job's facts.
    const std::string info = cv::test::pdfInfo(path.toStdString());
    EXPECT_EQ(info.substr(0, 2), "1 ") << info;
    EXPECT_NEAR(std::stoi(info.substr(2)), 824, 2) << info;
    const std::string text = pdfText(path);
    for (const char* expected :
         {"Report test method (3 passes)", "Errors", "/data/report-test/file_1.txt",
          "/data/report-test/file_40.txt", "Failed to open file", "/data/report-test/a<b>&\"c'.txt",
          "/data/report-test/caf\\xE9.txt", "Deleted", "40 File(s)", "26:00:05"})
        EXPECT_NE(text.find(expected), std::string::npos) << expected << " is missing from\n" << text;
    EXPECT_EQ(text.find("{{"), std::string::npos);
    EXPECT_EQ(text.find("Success"), std::string::npos) << "a job with an error is nowhere called a success";

    // The printed QR code reads back as this report's ID, content digest and signer.
    const auto raster = cv::test::runProcess(
        {"pdftoppm", "-r", "150", "-png", "-singlefile", path.toStdString(), m_dir / "page"});
    ASSERT_EQ(raster.exitCode, 0) << raster.err;
    const QImage page(QString::fromStdString(m_dir / "page.png"));
    ASSERT_FALSE(page.isNull());
    EXPECT_EQ(cv::test::decodeQrCode(page),
              cv::ReportFactory::qrCodeText(builder.reportId(), builder.contentDigest(),
                                            builder.outcome().signerFingerprint)
                  .toStdString());

    // A second report of a job that ended in the same second keeps the first one.
    const QString firstId = builder.reportId();
    const QString second = build(builder, result);
    EXPECT_EQ(second, path.chopped(4) + u"_2.pdf"_s);
    EXPECT_NE(builder.reportId(), firstId);
    EXPECT_EQ(saved().size(), 2) << saved().join(u' ').toStdString();
    EXPECT_EQ(generated.count(), 2);
}

TEST_F(ReportBuilderTest, ThePdfNamesItsTitleSubjectAndCreator)
{
    // What viewers and document systems show: the report's title and date in its language, its
    // report ID, and the program and version that made it.
    auto result = makeResult(3);
    for (const auto& [language, title] :
         {std::pair(u"en"_s, u"Deletion Report"_s), std::pair(u"de"_s, u"Löschprotokoll"_s)}) {
        SCOPED_TRACE(language.toStdString());
        ReportBuilder builder;
        cv::ReportOptions inLanguage = options();
        inLanguage.language = language;
        const QString path = build(builder, result, inLanguage);
        ASSERT_TRUE(path.endsWith(u".pdf"_s)) << path.toStdString();
        const QString info =
            QString::fromStdString(cv::test::runProcess({"pdfinfo", path.toStdString()}).out);
        const auto field = [&](const char* name) {
            const auto match = QRegularExpression(QString::fromLatin1(name) + u":[ ]+([^\n]*)"_s).match(info);
            return match.hasMatch() ? match.captured(1) : u"<none>"_s;
        };
        const QString date =
            cv::ReportFactory::dateTimeText(cv::ReportFactory::toDateTime(result->end), false, language);
        EXPECT_EQ(field("Title"), title + u' ' + date) << info.toStdString();
        EXPECT_EQ(field("Subject"), builder.reportId());
        EXPECT_EQ(field("Creator"), u"Cindervault "_s + QStringLiteral(CINDERVAULT_VERSION));
    }
}

TEST_F(ReportBuilderTest, HtmlFormatAndAutomaticSavingOff)
{
    auto result = makeResult(3);
    result->canceled = false;
    ReportBuilder builder;
    QSignalSpy generated(&builder, &ReportBuilder::reportGenerated);
    {
        SCOPED_TRACE("HTML: the report text as UTF-8, then its signature");
        m_settings.setString(u"HTML"_s, SettingsManager::kSettingsDeletionReportFormat);
        const QString path = build(builder, result);
        ASSERT_TRUE(path.endsWith(u".html"_s)) << path.toStdString();
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray saved = file.readAll();
        EXPECT_EQ(saved.left(saved.lastIndexOf(cv::HtmlReportSignature::kMarker)), builder.html().toUtf8());
        EXPECT_EQ(generated.count(), 1);
        // The card of the Reports tab reads how the job ended and its target from the file.
        const auto facts = cv::ReportCardFacts::readFrom(path);
        ASSERT_TRUE(facts.has_value());
        EXPECT_EQ(*facts, (cv::ReportCardFacts{u"Success"_s, u"report-test"_s, 0}));
    }
    {
        SCOPED_TRACE("automatic saving off: nothing written, nothing announced");
        m_settings.setBool(false, SettingsManager::kSettingsDeletionReportAutoSave);
        const QStringList before = saved();
        EXPECT_EQ(build(builder, result), QString());
        EXPECT_EQ(saved(), before);
        EXPECT_EQ(generated.count(), 1);
        EXPECT_FALSE(builder.html().isEmpty()) << "the report is still made, for the viewer";
    }
}

TEST_F(ReportBuilderTest, ReportsAndTheirFoldersAreTheUsersAloneInEitherFormat)
{
    // The PDF comes from the renderer program, the HTML file from the builder itself; both are
    // 0600 in folders made 0700, with the umask letting everyone read.
    const mode_t oldMask = ::umask(022);
    cv::test::makeDir(m_dir / "shared");
    ASSERT_EQ(::chmod((m_dir / "shared").c_str(), 0755), 0);
    m_folder = QString::fromStdString(m_dir / "shared/reports");
    m_settings.setString(m_folder, SettingsManager::kSettingsDeletionReportLocation);
    ReportBuilder builder;
    builder.setVolumeProbe(cv::test::fakeVolumes("", {}));
    const QString pdf = build(builder, makeResult(2));
    m_settings.setString(u"HTML"_s, SettingsManager::kSettingsDeletionReportFormat);
    const QString html = build(builder, makeResult(2));
    ::umask(oldMask);
    const auto modeOf = [](const std::string& path) {
        struct stat info = {};
        return ::lstat(path.c_str(), &info) == 0 ? info.st_mode & 07777 : 07777u;
    };
    ASSERT_TRUE(pdf.endsWith(u".pdf"_s)) << pdf.toStdString() << builder.outcome().failure.toStdString();
    ASSERT_TRUE(html.endsWith(u".html"_s)) << html.toStdString();
    EXPECT_EQ(modeOf(pdf.toStdString()), 0600u);
    EXPECT_EQ(modeOf(html.toStdString()), 0600u);
    EXPECT_EQ(modeOf(m_folder.toStdString()), 0700u);
    EXPECT_EQ(modeOf(m_dir / "shared"), 0755u) << "a folder that existed keeps its mode";

    // The renderer's own output, wherever it is asked to write it.
    cv::test::writeFile(m_dir / "plain.html", std::string("<html><body><p>Report</p></body></html>"));
    const mode_t mask = ::umask(022);
    const auto run =
        cv::test::runProcess({CINDERVAULT_TEST_RENDERER, m_dir / "plain.html", m_dir / "plain.pdf"});
    ::umask(mask);
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(modeOf(m_dir / "plain.pdf"), 0600u);
}

TEST_F(ReportBuilderTest, ALargeReportTakesPagesOfFullWidthBrokenBetweenRows)
{
    // 20,000 files, every 1,000th in a folder of a long name that wraps over several lines: about
    // 25 pages, more than 2 MB of HTML (loaded from a file).
    constexpr std::size_t kFiles = 20000;
    auto result = makeResult(kFiles);
    std::string longFolder = "/data/report-test";
    for (int i = 0; i < 40; ++i)
        longFolder += " long folder name";
    for (std::size_t i = 999; i < kFiles; i += 1000)
        result->history[i].path = longFolder + "/file_" + std::to_string(i + 1) + ".txt";
    ReportBuilder builder;
    const QString folder = QString::fromStdString(m_dir / "override");
    cv::ReportOptions overridden = options();
    overridden.folder = folder;
    overridden.format = u"PDF"_s;

    const QString path = build(builder, result, overridden);
    ASSERT_TRUE(path.startsWith(folder + u"/deletionReport_"_s)) << path.toStdString();
    EXPECT_GT(builder.html().toUtf8().size(), 2000000) << "more than the web engine takes inline";
    EXPECT_TRUE(saved().isEmpty()) << "the override folder takes the settings' place";

    // Every page as wide as a one-page report (823.5 points), none taller than PDF readers take.
    const QString info = QString::fromStdString(
        cv::test::runProcess({"pdfinfo", "-f", "1", "-l", "1000", path.toStdString()}).out);
    const int pages = QRegularExpression(u"Pages:\\s+(\\d+)"_s).match(info).captured(1).toInt();
    EXPECT_GT(pages, 15) << info.toStdString();
    auto sizes = QRegularExpression(u"size:\\s+([\\d.]+) x ([\\d.]+) pts"_s).globalMatch(info);
    int sized = 0;
    while (sizes.hasNext()) {
        const auto size = sizes.next();
        ++sized;
        EXPECT_NEAR(size.captured(1).toDouble(), 824, 2) << "page " << sized;
        EXPECT_LE(size.captured(2).toDouble(), 14400) << "page " << sized;
        EXPECT_GT(size.captured(2).toDouble(), sized < pages ? 13000 : 100) << "page " << sized;
    }
    EXPECT_EQ(sized, pages);

    // Every row once, whole, at full size: every name is found, none twice. (In reading order,
    // which pdftotext finds far faster than the layout.)
    const std::string text = cv::test::runProcess({"pdftotext", "-raw", path.toStdString(), "-"}).out;
    std::vector<int> seen(kFiles + 1, 0);
    auto names = QRegularExpression(u"/file_(\\d+)\\.txt"_s).globalMatch(QString::fromStdString(text));
    while (names.hasNext()) {
        const std::size_t number = names.next().captured(1).toULong();
        ASSERT_TRUE(number >= 1 && number <= kFiles) << number;
        ++seen[number];
    }
    for (std::size_t number = 1; number <= kFiles; ++number)
        ASSERT_EQ(seen[number], 1) << "file_" << number << ".txt";

    // The report's head on the first page only, the table's header on every page, the report's
    // end with the last row on the last page.
    const auto pageText = [&](int page) {
        return cv::test::runProcess({"pdftotext", "-layout", "-f", std::to_string(page), "-l",
                                     std::to_string(page), path.toStdString(), "-"})
            .out;
    };
    const std::string first = pageText(1);
    const std::string second = pageText(2);
    const std::string last = pageText(pages);
    EXPECT_NE(first.find("Report test method (3 passes)"), std::string::npos);
    EXPECT_EQ(second.find("Report test method (3 passes)"), std::string::npos);
    EXPECT_NE(second.find("File"), std::string::npos);
    EXPECT_NE(last.find("/file_20000.txt"), std::string::npos) << last;
    EXPECT_NE(last.find(builder.reportId().toStdString()), std::string::npos) << last;
    EXPECT_EQ(second.find(builder.reportId().toStdString()), std::string::npos);
}

TEST_F(ReportBuilderTest, EveryRowOfALargeReportStandsOnceInOrderOnPagesThatAddUp)
{
    // 3,000 files: the first page and the last are printed by the web engine, the pages between
    // them drawn without it. Every 100th file failed; one name in the middle wraps over lines.
    constexpr int kFiles = 3000;
    auto result = makeResult(kFiles);
    for (int i = 99; i < kFiles; i += 100) {
        result->history[static_cast<std::size_t>(i)].state = cv::ShredItem::State::NotOverwritten;
        result->history[static_cast<std::size_t>(i)].success = false;
        result->history[static_cast<std::size_t>(i)].error = "Failed to open file";
        ++result->errorCount;
    }
    std::string longFolder = "/data/report-test";
    for (int i = 0; i < 12; ++i)
        longFolder += " long folder name";
    result->history[1499].path = longFolder + "/file_1500.txt";
    ReportBuilder builder;
    cv::ReportOptions pdf = options();
    pdf.format = u"PDF"_s;
    const QString path = build(builder, result, pdf);
    ASSERT_TRUE(path.endsWith(u".pdf"_s)) << path.toStdString();

    const QString info = QString::fromStdString(
        cv::test::runProcess({"pdfinfo", "-f", "1", "-l", "1000", path.toStdString()}).out);
    const int pages = QRegularExpression(u"Pages:\\s+(\\d+)"_s).match(info).captured(1).toInt();
    ASSERT_GE(pages, 4) << info.toStdString();
    int next = 1;
    for (int page = 1; page <= pages; ++page) {
        SCOPED_TRACE("page " + std::to_string(page));
        const QString text =
            QString::fromStdString(cv::test::runProcess({"pdftotext", "-raw", "-f", std::to_string(page),
                                                         "-l", std::to_string(page), path.toStdString(), "-"})
                                       .out);
        // The rows of each page follow those of the page before it, none left out or repeated.
        int failed = 0;
        int rows = 0;
        for (auto it = QRegularExpression(u"/file_(\\d+)\\.txt"_s).globalMatch(text); it.hasNext(); ++rows) {
            const int number = it.next().captured(1).toInt();
            ASSERT_EQ(number, next) << text.toStdString();
            failed += number % 100 == 0 ? 1 : 0;
            ++next;
        }
        EXPECT_GT(rows, page < pages ? 500 : 0) << "every page but the last is full";
        EXPECT_EQ(text.count(u"Failed to open file"_s), failed);
        EXPECT_EQ(text.count(u"Deleted"_s), rows - failed);
        // The table's header on every page, the report's head on the first only, its end on the
        // last only.
        EXPECT_TRUE(text.contains(u"# File Size Result"_s)) << text.toStdString();
        EXPECT_EQ(text.contains(u"Report test method (3 passes)"_s), page == 1);
        EXPECT_EQ(text.contains(builder.reportId()), page == pages);
    }
    EXPECT_EQ(next, kFiles + 1) << "the pages' rows add up to the job's files";
}

TEST_F(ReportBuilderTest, ADocumentWithoutAFileTableIsPrintedAsItStands)
{
    // Taller than a page and without rows to break between: pages of the largest height.
    const std::string html = m_dir / "tall.html";
    cv::test::writeFile(html,
                        std::string("<html><body style=\"margin:0\"><p>top line</p>"
                                    "<div style=\"height:30000px\"></div><p>bottom line</p></body></html>"));
    const std::string pdf = m_dir / "tall.pdf";
    const auto run = cv::test::runProcess({CINDERVAULT_TEST_RENDERER, html, pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string info = cv::test::pdfInfo(pdf);
    EXPECT_EQ(info.substr(0, 2), "2 ") << info;
    EXPECT_EQ(info.substr(info.find('x')), "x14400") << info;
    const std::string text = pdfText(QString::fromStdString(pdf));
    EXPECT_NE(text.find("top line"), std::string::npos);
    EXPECT_NE(text.find("bottom line"), std::string::npos);
}

TEST_F(ReportBuilderTest, ARendererThatCrashesFailsOrHangsLeavesAReasonAndNoFile)
{
    const QByteArray realRenderer = qgetenv("CINDERVAULT_RENDERER");
    const auto renderer = [&](const std::string& name, const std::string& script) {
        const std::string path = m_dir / name;
        cv::test::writeFile(path, "#!/bin/sh\n" + script + "\n");
        ::chmod(path.c_str(), 0755);
        qputenv("CINDERVAULT_RENDERER", QByteArray::fromStdString(path));
    };
    int generated = 0;
    const auto expectFailure = [&](const char* reason, std::chrono::milliseconds timeout) {
        ReportBuilder builder;
        QObject::connect(&builder, &ReportBuilder::reportGenerated, [&] { ++generated; });
        builder.setRenderTimeout(timeout);
        EXPECT_EQ(build(builder, makeResult(3)), QString());
        EXPECT_EQ(builder.outcome().state, ReportOutcome::State::Failed);
        EXPECT_TRUE(builder.outcome().failure.contains(QString::fromLatin1(reason)))
            << builder.outcome().failure.toStdString();
        EXPECT_TRUE(saved().isEmpty());
    };
    {
        SCOPED_TRACE("the renderer aborts, as the web engine does without a writable /dev/shm");
        renderer("abort.sh", "echo 'FATAL: no shared memory' >&2; kill -ABRT $$");
        expectFailure("the report renderer crashed: FATAL: no shared memory", std::chrono::seconds(60));
    }
    {
        SCOPED_TRACE("the renderer fails");
        renderer("fail.sh", "echo 'cindervault-render: the report could not be laid out' >&2; exit 1");
        expectFailure("the report could not be laid out", std::chrono::seconds(60));
    }
    {
        SCOPED_TRACE("the renderer hangs, and so does a process it started");
        const std::string pidFile = m_dir / "helper.pid";
        renderer("hang.sh", "sleep 300 & echo $! > '" + pidFile + "'; sleep 300");
        QElapsedTimer timer;
        timer.start();
        expectFailure("made no progress for", std::chrono::milliseconds(500));
        EXPECT_LT(timer.elapsed(), 30000);
        const auto pidText = cv::test::readFile(pidFile);
        const pid_t helper = std::stoi(std::string(pidText.begin(), pidText.end()));
        // Killed with the renderer's group; reaped by init, or a zombie for a moment.
        const bool gone = QTest::qWaitFor(
            [&] {
                const auto status = cv::test::runProcess({"ps", "-o", "stat=", "-p", std::to_string(helper)});
                return status.out.empty() || status.out.front() == 'Z';
            },
            5000);
        EXPECT_TRUE(gone) << "the process the renderer started was killed with it";
    }
    {
        SCOPED_TRACE("a renderer slower than the timeout that keeps printing pages is waited for");
        // A page every 0.2 s for 3 s against a timeout of 2.5 s: the gap between two pages may
        // grow more than tenfold on a busy machine before the timeout is reached.
        renderer("slow.sh", "i=0; while [ $i -lt 15 ]; do i=$((i+1)); echo \"page $i\"; sleep 0.2; done; "
                            "echo '%PDF-1.4' > \"$2\"");
        ReportBuilder builder;
        QObject::connect(&builder, &ReportBuilder::reportGenerated, [&] { ++generated; });
        builder.setRenderTimeout(std::chrono::milliseconds(2500));
        const QString path = build(builder, makeResult(3));
        EXPECT_EQ(builder.outcome().state, ReportOutcome::State::Saved)
            << builder.outcome().failure.toStdString();
        EXPECT_TRUE(path.endsWith(u".pdf"_s)) << path.toStdString();
        QFile::remove(path);
    }
    {
        SCOPED_TRACE("no renderer");
        qputenv("CINDERVAULT_RENDERER", QByteArray::fromStdString(m_dir / "missing"));
        expectFailure("is not installed", std::chrono::seconds(60));
    }
    qputenv("CINDERVAULT_RENDERER", realRenderer);
    EXPECT_EQ(generated, 5) << "announced, as any report the settings asked to save";
}

// The staged report lists every shredded path: it lies in the user's runtime folder, the user's
// alone, and goes when the object goes, when the process is ended by a signal, and, left by a
// process that died without a chance to clean up, at the next start.
TEST_F(ReportBuilderTest, TheStagedReportGoesOnEveryWayOut)
{
    const std::string runtime = m_dir / "runtime";
    ASSERT_EQ(::mkdir(runtime.c_str(), 0700), 0);
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime));
    {
        cv::ReportStage stage;
        ASSERT_TRUE(stage.isValid());
        EXPECT_TRUE(stage.path().startsWith(QString::fromStdString(runtime + "/cindervault-stage-")))
            << stage.path().toStdString();
        struct stat info = {};
        ASSERT_EQ(::stat(QFile::encodeName(stage.path()).constData(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, 0700u);
    }
    EXPECT_EQ(QDir(QString::fromStdString(runtime)).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).size(),
              0);

    // Ended by SIGTERM while a report is staged.
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        cv::ReportStage stage;
        QFile file(stage.filePath(u"report.html"_s));
        const bool written = file.open(QIODevice::WriteOnly) && file.write("/home/user/secret") > 0;
        file.close();
        const QByteArray path = QFile::encodeName(stage.path()) + (written ? "\n" : "");
        [[maybe_unused]] const ssize_t sent =
            ::write(ends[1], path.constData(), static_cast<size_t>(path.size()));
        for (;;)
            ::pause();
    }
    ::close(ends[1]);
    char buffer[4096] = {};
    const ssize_t length = ::read(ends[0], buffer, sizeof buffer - 1);
    ::close(ends[0]);
    ASSERT_GT(length, 1);
    ASSERT_EQ(buffer[length - 1], '\n') << "the child could not stage its report";
    const std::string staged(buffer, static_cast<std::size_t>(length - 1));
    ASSERT_TRUE(cv::test::exists(staged));
    ASSERT_EQ(::kill(child, SIGTERM), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << "the signal must still end it";
    EXPECT_FALSE(cv::test::exists(staged)) << "left behind by SIGTERM";

    // Left by a process that is gone: removed at the next start; a running one's stays.
    const std::string gone = runtime + "/cindervault-stage-" + std::to_string(child) + "-AbCdEf";
    const std::string running = runtime + "/cindervault-stage-" + std::to_string(::getpid()) + "-AbCdEf";
    for (const auto& folder : {gone, running}) {
        ASSERT_EQ(::mkdir(folder.c_str(), 0700), 0);
        cv::test::writeFile(folder + "/report.html", std::string("/home/user/secret"));
    }
    cv::ReportStage::removeLeftovers();
    EXPECT_FALSE(cv::test::exists(gone));
    EXPECT_TRUE(cv::test::exists(running + "/report.html"));
    qputenv("XDG_RUNTIME_DIR", savedRuntime);
}
