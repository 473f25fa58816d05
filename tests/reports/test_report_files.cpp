// Report files: names, writing without overwriting, and the saved-report list.
#include "reports/ReportFileWriter.h"
#include "reports/SavedReportsModel.h"
#include "settings/SettingsManager.h"

#include "ReportTestData.h"
#include "TempDir.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QThread>

#include <gtest/gtest.h>
#include <sys/stat.h>

using cv::ReportFileWriter;
using cv::SavedReportsModel;
using namespace Qt::StringLiterals;

namespace {

QStringList namesIn(const std::string& folder)
{
    return QDir(QString::fromStdString(folder))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace

TEST(ReportFileWriter, NamesFollowTheTwelveHourPattern)
{
    const auto at = [](int h, int m, int s) { return QDateTime(QDate(2026, 12, 5), QTime(h, m, s)); };
    EXPECT_EQ(ReportFileWriter::fileBaseName(at(14, 5, 7)), u"deletionReport_2026_12_05_02-05-7"_s);
    EXPECT_EQ(ReportFileWriter::fileBaseName(at(2, 5, 7)), u"deletionReport_2026_12_05_02-05-7"_s);
    EXPECT_EQ(ReportFileWriter::fileBaseName(at(0, 30, 59)), u"deletionReport_2026_12_05_12-30-59"_s);
    EXPECT_EQ(ReportFileWriter::fileBaseName(at(12, 0, 0)), u"deletionReport_2026_12_05_12-00-0"_s);
}

TEST(ReportFileWriter, SameNameNeverOverwrites)
{
    cv::test::TempDir dir;
    const QString folder = QString::fromStdString(dir / "reports/nested");
    ASSERT_TRUE(ReportFileWriter::ensureFolder(folder));
    const QString base = u"deletionReport_2026_12_05_02-05-7"_s;

    const auto first = ReportFileWriter::writeNewFile(folder, base, u"pdf"_s, "first");
    const auto second = ReportFileWriter::writeNewFile(folder, base, u"pdf"_s, "second");
    const auto third = ReportFileWriter::writeNewFile(folder, base, u"pdf"_s, "third");
    const auto html = ReportFileWriter::writeNewFile(folder, base, u"html"_s, "html");
    ASSERT_TRUE(first && second && third && html);
    EXPECT_EQ(*first, folder + u"/deletionReport_2026_12_05_02-05-7.pdf"_s);
    EXPECT_EQ(*second, folder + u"/deletionReport_2026_12_05_02-05-7_2.pdf"_s);
    EXPECT_EQ(*third, folder + u"/deletionReport_2026_12_05_02-05-7_3.pdf"_s);
    EXPECT_EQ(*html, folder + u"/deletionReport_2026_12_05_02-05-7.html"_s);
    const auto contents = [](const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    };
    EXPECT_EQ(contents(*first), "first");
    EXPECT_EQ(contents(*second), "second");
    EXPECT_EQ(contents(*third), "third");
    // No temporary file is left behind.
    EXPECT_EQ(namesIn(dir / "reports/nested").size(), 4);

    {
        SCOPED_TRACE("a name taken by a folder or a dangling link is skipped, not replaced");
        ASSERT_TRUE(QDir().mkpath(folder + u"/deletionReport_x.pdf"_s));
        ASSERT_EQ(::symlink("/nonexistent-target", (dir / "reports/nested/deletionReport_x_2.pdf").c_str()),
                  0);
        const auto path = ReportFileWriter::writeNewFile(folder, u"deletionReport_x"_s, u"pdf"_s, "x");
        ASSERT_TRUE(path);
        EXPECT_EQ(*path, folder + u"/deletionReport_x_3.pdf"_s);
    }
    {
        SCOPED_TRACE("a missing folder writes nothing");
        EXPECT_FALSE(ReportFileWriter::writeNewFile(folder + u"/missing"_s, base, u"pdf"_s, "x"));
    }
    {
        SCOPED_TRACE("a folder that cannot be made is reported");
        cv::test::writeFile(dir / "plainfile", std::string("x"));
        EXPECT_FALSE(ReportFileWriter::ensureFolder(QString::fromStdString(dir / "plainfile/sub")));
    }
}

TEST(ReportFileWriter, ReportsAndTheFoldersMadeForThemAreTheUsersAlone)
{
    // A report lists every deleted path: 0600 in folders made 0700, whatever the umask lets
    // through; a folder that existed keeps the mode the user gave it.
    cv::test::TempDir dir;
    const mode_t oldMask = ::umask(022);
    cv::test::makeDir(dir / "shared");
    ASSERT_EQ(::chmod((dir / "shared").c_str(), 0755), 0);
    const QString folder = QString::fromStdString(dir / "shared/reports/nested");
    ASSERT_TRUE(ReportFileWriter::ensureFolder(folder));
    const auto path = ReportFileWriter::writeNewFile(folder, u"deletionReport_x"_s, u"pdf"_s, "x");
    ::umask(oldMask);
    ASSERT_TRUE(path);
    const auto modeOf = [](const std::string& file) {
        struct stat info = {};
        return ::lstat(file.c_str(), &info) == 0 ? info.st_mode & 07777 : 07777u;
    };
    EXPECT_EQ(modeOf(QFile::encodeName(*path).toStdString()), 0600u);
    EXPECT_EQ(modeOf(dir / "shared/reports"), 0700u);
    EXPECT_EQ(modeOf(dir / "shared/reports/nested"), 0700u);
    EXPECT_EQ(modeOf(dir / "shared"), 0755u);
}

TEST(SavedReportsModel, ListsReportsByPrefixAndDeletes)
{
    cv::test::TempDir dir;
    cv::SettingsManager settings(QString::fromStdString(dir / "settings.ini"));
    const QString folder = QString::fromStdString(dir / "reports");
    settings.setString(folder, cv::SettingsManager::kSettingsDeletionReportLocation);

    SavedReportsModel model([&settings] { return settings.getReportPath(); });
    model.loadFiles();
    EXPECT_TRUE(QDir(folder).exists()) << "the report folder is made when absent";
    EXPECT_EQ(model.rowCount(), 0);

    for (const char* name :
         {"deletionReport_2026_12_05_02-05-7.pdf", "DeletionReport_x.pdf", "DÉLETIONREPORT_y.html",
          "report.pdf", "my deletionReport.pdf", ".report-abc.tmp"})
        cv::test::writeFile(dir / "reports/" + name, std::string("x"));
    QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
    model.loadFiles(); // as on "ReportGenerated"
    EXPECT_EQ(resets.count(), 1);

    QStringList listed = model.files();
    listed.sort();
    EXPECT_EQ(listed, (QStringList{u"DeletionReport_x.pdf"_s, u"DÉLETIONREPORT_y.html"_s,
                                   u"deletionReport_2026_12_05_02-05-7.pdf"_s}));
    const int row = static_cast<int>(model.files().indexOf(u"DeletionReport_x.pdf"_s));
    const QModelIndex index = model.index(row);
    EXPECT_EQ(model.data(index, SavedReportsModel::PathRole).toString(), folder + u"/DeletionReport_x.pdf"_s);
    EXPECT_TRUE(QRegularExpression(u"^\\d\\d-\\d\\d-\\d{4}$"_s)
                    .match(model.data(index, SavedReportsModel::DateTextRole).toString())
                    .hasMatch());
    EXPECT_TRUE(QRegularExpression(u"^\\d\\d:\\d\\d$"_s)
                    .match(model.data(index, SavedReportsModel::TimeTextRole).toString())
                    .hasMatch());
    EXPECT_EQ(SavedReportsModel::dateText(folder + u"/gone.pdf"_s), u"--"_s);
    EXPECT_TRUE(SavedReportsModel::opensExternally(folder + u"/a.pdf"_s));
    EXPECT_FALSE(SavedReportsModel::opensExternally(folder + u"/a.PDF"_s));
    EXPECT_FALSE(SavedReportsModel::opensExternally(folder + u"/a.html"_s));

    // Delete two; the other files, reports or not, stay.
    model.removeReports({row, static_cast<int>(model.files().indexOf(u"DÉLETIONREPORT_y.html"_s))});
    EXPECT_EQ(model.files(), QStringList{u"deletionReport_2026_12_05_02-05-7.pdf"_s});
    EXPECT_EQ(namesIn(dir / "reports").size(), 4);
}

TEST(SavedReportsModel, ListsTheNewestReportFirst)
{
    cv::test::TempDir dir;
    cv::SettingsManager settings(QString::fromStdString(dir / "settings.ini"));
    settings.setString(QString::fromStdString(dir / "reports"),
                       cv::SettingsManager::kSettingsDeletionReportLocation);
    SavedReportsModel model([&settings] { return settings.getReportPath(); });
    model.loadFiles();
    // Made in this order; neither the names' order nor the listing's is the age's.
    for (const char* name : {"deletionReport_b.pdf", "deletionReport_c.html", "deletionReport_a.pdf"}) {
        cv::test::writeFile(dir / "reports/" + name, std::string("x"));
        QThread::msleep(20); // birth times, which no call can set, must differ by more than their granularity
    }
    model.loadFiles();
    EXPECT_EQ(model.files(), (QStringList{u"deletionReport_a.pdf"_s, u"deletionReport_c.html"_s,
                                          u"deletionReport_b.pdf"_s}));
}
