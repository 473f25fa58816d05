// The command line's report output: it makes its own application object, honours the settings and
// the --report-dir/--report-format overrides and the report language, and says why when it saves
// nothing.
#include "cli/ReportOutput.h"
#include "settings/SettingsManager.h"

#include "ReportTestData.h"
#include "TempDir.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <gtest/gtest.h>

using cv::cli::ReportCliOptions;
using cv::cli::saveReportForCli;

TEST(ReportOutput, SavesTheWayTheSettingsAndOptionsSay)
{
    // The user's settings and Documents folder are never touched: both live in the test's folder.
    cv::test::TempDir dir;
    ::setenv("HOME", dir.path().c_str(), 1);
    ::setenv("XDG_CONFIG_HOME", (dir / "config").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);
    ::setenv("CINDERVAULT_RENDERER", CINDERVAULT_TEST_RENDERER, 0);
    // A German desktop: reports are in the language the window shows, the stored one, else this.
    ::setenv("LANGUAGE", "de_DE", 1);
    ::setenv("LANG", "de_DE.UTF-8", 1);
    ASSERT_EQ(QCoreApplication::instance(), nullptr);

    const auto result = cv::test::makeResult(5);
    ReportCliOptions options;
    options.reportDir = dir / "out";
    options.reportFormat = "HTML";
    const auto html = saveReportForCli(*result, options);
    ASSERT_TRUE(html) << html.error();
    EXPECT_EQ(QFileInfo(QString::fromStdString(*html)).absolutePath().toStdString(), dir / "out");
    EXPECT_TRUE(QFileInfo(QString::fromStdString(*html)).fileName().endsWith(QStringLiteral(".html")));
    EXPECT_NE(QCoreApplication::instance(), nullptr);

    options.reportFormat = "PDF";
    const auto pdf = saveReportForCli(*result, options);
    ASSERT_TRUE(pdf) << pdf.error();
    EXPECT_EQ(cv::test::pdfInfo(*pdf).substr(0, 2), "1 ");

    {
        SCOPED_TRACE("the settings' folder and format without options");
        cv::SettingsManager::sharedManager().setString(QString::fromStdString(dir / "settings-folder"),
                                                       cv::SettingsManager::kSettingsDeletionReportLocation);
        cv::SettingsManager::sharedManager().setString(QStringLiteral("HTML"),
                                                       cv::SettingsManager::kSettingsDeletionReportFormat);
        const auto path = saveReportForCli(*result, {});
        ASSERT_TRUE(path) << path.error();
        EXPECT_EQ(QFileInfo(QString::fromStdString(*path)).absolutePath().toStdString(),
                  dir / "settings-folder");
        EXPECT_TRUE(path->ends_with(".html"));
    }
    {
        SCOPED_TRACE("the language the window shows, with its number format");
        auto sized = cv::test::makeResult(1);
        sized->bytesCountTotal = 2'800'000;
        sized->history.front().fileSize = 932;
        const auto reportText = [&] {
            const auto path = saveReportForCli(*sized, options);
            EXPECT_TRUE(path) << path.error();
            QFile file(path ? QString::fromStdString(*path) : QString());
            return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
        };
        options.reportFormat = "HTML";
        // Nothing stored: the desktop's German.
        const QString german = reportText();
        EXPECT_TRUE(german.contains(QStringLiteral("<html lang=\"de\">")));
        EXPECT_TRUE(german.contains(QStringLiteral("2,8 MB")));
        EXPECT_TRUE(german.contains(QStringLiteral("932 Byte<")));
        cv::SettingsManager::sharedManager().setObject(QStringList{QStringLiteral("en")},
                                                       cv::SettingsManager::kAppleLanguages);
        const QString english = reportText();
        EXPECT_TRUE(english.contains(QStringLiteral("<html lang=\"en\">")));
        EXPECT_TRUE(english.contains(QStringLiteral("2.8 MB")));
        EXPECT_TRUE(english.contains(QStringLiteral("932 bytes")));
    }
    {
        SCOPED_TRACE("a cancelled job has its report too, which says so");
        auto cancelled = cv::test::makeResult(1);
        cancelled->canceled = true;
        const auto saved = saveReportForCli(*cancelled, options);
        ASSERT_TRUE(saved) << saved.error();
        QFile file(QString::fromStdString(*saved));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        EXPECT_TRUE(QString::fromUtf8(file.readAll()).contains(QStringLiteral("<td>Canceled</td>")));
    }
    {
        SCOPED_TRACE("automatic saving off");
        cv::SettingsManager::sharedManager().setBool(false,
                                                     cv::SettingsManager::kSettingsDeletionReportAutoSave);
        const auto none = saveReportForCli(*result, options);
        ASSERT_FALSE(none);
        EXPECT_NE(none.error().find("automatic saving"), std::string::npos);
    }
}
