// The Reports tab and the review window: cards of the saved reports, the buttons for 0, 1 and 2
// selected cards, Return and double click, opening PDF and HTML reports, the missing-file alert,
// deleting after the question, and reloading when a report was generated or the folder changed;
// a report window asked for a new report while the last one is still being rendered.
#include "AppTestMain.h"
#include "LogCapture.h"
#include "TempDir.h"
#include "app/AppServices.h"
#include "app/ReportKeeper.h"
#include "app/WindowController.h"
#include "app/controls/EventHandlingCollectionView.h"
#include "app/controls/PillButton.h"
#include "app/dialogs/ConfirmDeletionDialog.h"
#include "app/reports/ReportCol.h"
#include "app/reports/ReportListModel.h"
#include "app/reports/ReportModulListViewController.h"
#include "app/reports/ReportPdfPane.h"
#include "app/reports/ReportPreview.h"
#include "app/reports/ReportReviewViewController.h"
#include "engine/Algorithm.h"
#include "engine/ShredResult.h"
#include "reports/HtmlReportSignature.h"
#include "reports/ReportCardFacts.h"
#include "reports/ReportSigningKey.h"
#include "settings/SettingsManager.h"
#include "targets/PathCollection.h"
#include "translations/AppTranslator.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPdfDocument>
#include <QSet>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <tuple>

using namespace Qt::StringLiterals;

namespace cv::test {

namespace {

// A Reports tab on a report folder of its own holding the given files.
struct ReportsHarness
{
    TempDir folder;
    SettingsManager& settings = SettingsManager::sharedManager();
    std::unique_ptr<ReportModulListViewController> screen;
    QStringList opened;
    QList<QUrl> reviewed;

    explicit ReportsHarness(const std::vector<std::string>& names)
    {
        for (const std::string& name : names)
            writeFile(folder / name, "<html><body>report " + name + "</body></html>");
        settings.setString(QString::fromStdString(folder.path()),
                           SettingsManager::kSettingsDeletionReportLocation);
        screen = std::make_unique<ReportModulListViewController>(sharedReportKeeper());
        screen->setOpener([this](const QString& path) {
            opened.append(path);
            return true;
        });
        QObject::connect(screen.get(), &ReportModulListViewController::reviewRequested,
                         [this](const QUrl& url) { reviewed.append(url); });
        screen->resize(840, 507);
        screen->show();
    }

    template <typename Widget = PillButton> Widget* part(const char* name) const
    {
        auto* widget = screen->findChild<Widget*>(QLatin1StringView(name));
        EXPECT_NE(widget, nullptr) << "no part " << name;
        return widget;
    }
    QString path(const std::string& name) const { return QString::fromStdString(folder / name); }
    int row(const std::string& name) const
    {
        return static_cast<int>(screen->model()->reports()->files().indexOf(QString::fromStdString(name)));
    }
    void select(const std::vector<std::string>& names)
    {
        QItemSelectionModel* selection = screen->model()->selection();
        selection->clearSelection();
        for (const std::string& name : names)
            selection->select(screen->model()->reports()->index(row(name)), QItemSelectionModel::Select);
    }
    // The alert or question shown now on the screen, or null.
    template <typename Dialog> Dialog* dialog(const char* name)
    {
        Dialog* found = nullptr;
        (void)QTest::qWaitFor(
            [&] {
                for (Dialog* d : screen->findChildren<Dialog*>(QLatin1StringView(name)))
                    if (d->isVisible())
                        found = d;
                return found != nullptr;
            },
            60000);
        return found;
    }
};

} // namespace

TEST(ReportsScreen, ButtonsFollowTheSelectionAndReturnOpensOne)
{
    ReportsHarness h({"deletionReport_a.pdf", "deletionReport_b.html", "notes.txt"});
    ASSERT_EQ(h.screen->model()->reports()->rowCount(), 2);
    EXPECT_TRUE(h.part<QLabel>("emptyMessage")->isHidden());
    auto* view = h.part<EventHandlingCollectionView>("collectionView");
    const auto press = [&] { QTest::keyClick(view, Qt::Key_Return); };
    {
        SCOPED_TRACE("none selected: both hidden and disabled; Return does nothing");
        EXPECT_TRUE(h.part("deleteButton")->isHidden());
        EXPECT_FALSE(h.part("deleteButton")->isEnabled());
        EXPECT_TRUE(h.part("viewButton")->isHidden());
        EXPECT_FALSE(h.part("viewButton")->isEnabled());
        press();
        EXPECT_TRUE(h.opened.isEmpty());
    }
    {
        SCOPED_TRACE("one: both shown and enabled, view the default; Return opens it");
        h.select({"deletionReport_a.pdf"});
        EXPECT_TRUE(h.part("deleteButton")->isVisible());
        EXPECT_TRUE(h.part("viewButton")->isVisible());
        EXPECT_TRUE(h.part("viewButton")->isEnabled());
        EXPECT_TRUE(h.part("viewButton")->isDefault());
        press();
        EXPECT_EQ(h.opened, QStringList{h.path("deletionReport_a.pdf")});
    }
    {
        SCOPED_TRACE("two: delete enabled, view disabled; Return does nothing");
        h.opened.clear();
        h.select({"deletionReport_a.pdf", "deletionReport_b.html"});
        EXPECT_TRUE(h.part("deleteButton")->isEnabled());
        EXPECT_TRUE(h.part("viewButton")->isVisible());
        EXPECT_FALSE(h.part("viewButton")->isEnabled());
        EXPECT_FALSE(h.part("viewButton")->isDefault());
        press();
        EXPECT_TRUE(h.opened.isEmpty());
    }
    {
        SCOPED_TRACE("a double click opens: PDF in the desktop's application, HTML in the review window");
        view->doItemsLayout();
        const QPoint card =
            view->visualRect(h.screen->model()->reports()->index(h.row("deletionReport_b.html"))).center();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, card);
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, card);
        ASSERT_EQ(h.reviewed.size(), 1);
        EXPECT_EQ(h.reviewed.first().toLocalFile(), h.path("deletionReport_b.html"));
        EXPECT_TRUE(h.opened.isEmpty());
    }
    {
        SCOPED_TRACE("cards: at most six columns, each 110 to 140 wide");
        EXPECT_EQ(ReportCol::columnsFor(2000), 6);
        EXPECT_EQ(ReportCol::cardWidthFor(2000), 140);
        EXPECT_EQ(ReportCol::columnsFor(360), 3);
        EXPECT_EQ(ReportCol::cardWidthFor(360), 120);
        EXPECT_EQ(ReportCol::cardWidthFor(50), 110);
        EXPECT_EQ(view->gridSize().height(), ReportCol::kHeight);
        // The card's date is in the window's language: German "04.03.20", not "04-03-2020".
        const std::string dated = h.folder / "deletionReport_dated.pdf";
        writeFile(dated, "x");
        const QDateTime created = SavedReportsModel::createdAt(QString::fromStdString(dated)).toLocalTime();
        AppTranslator::install(*qApp, u"de"_s);
        const QLocale german(QLocale::German);
        EXPECT_EQ(ReportCol::dateAndTime(QString::fromStdString(dated)),
                  std::make_pair(german.toString(created.date(), QLocale::ShortFormat),
                                 german.toString(created.time(), QLocale::ShortFormat)));
        AppTranslator::install(*qApp, u"en"_s);
        ::unlink(dated.c_str());
        for (int i = 0; i < 8; ++i)
            writeFile(h.folder / ("deletionReport_more" + std::to_string(i) + ".pdf"), "x");
        emit sharedReportKeeper().reportGenerated();
        h.screen->resize(1400, 600);
        QApplication::processEvents();
        view->doItemsLayout();
        QSet<int> columns;
        for (int row = 0; row < h.screen->model()->reports()->rowCount(); ++row)
            columns.insert(view->visualRect(h.screen->model()->reports()->index(row)).x());
        EXPECT_EQ(columns.size(), 6) << "a wide window still shows six columns";
    }
}

TEST(ReportsScreen, CardsSayHowTheJobEndedAndWhatItWasAimedAt)
{
    ReportsHarness h(
        {"deletionReport_errors.pdf", "deletionReport_cancelled.html", "deletionReport_old.pdf"});
    ShredResult errors;
    errors.paths = std::make_shared<PathCollection>();
    errors.paths->setPaths({"/home/user/Photos/", "/home/user/a.txt", "/home/user/b.txt"});
    errors.errorCount = 1;
    ShredResult cancelled;
    cancelled.paths = std::make_shared<PathCollection>();
    cancelled.paths->setPaths({"/"});
    cancelled.canceled = true;
    QString why;
    if (!ReportCardFacts::of(errors).writeTo(h.path("deletionReport_errors.pdf"), &why))
        GTEST_SKIP() << "no extended attributes in the test's folder: " << why.toStdString();
    ASSERT_TRUE(ReportCardFacts::of(cancelled).writeTo(h.path("deletionReport_cancelled.html")));

    // In the report's words, in the window's language; the first target by name, the rest counted.
    using Lines = std::tuple<QString, bool, QString, QString>;
    const auto lines = [&](const char* name) {
        const ReportCol::JobLines job = ReportCol::jobLines(h.path(name));
        return Lines(job.status, job.success, job.target, job.more);
    };
    EXPECT_EQ(lines("deletionReport_errors.pdf"), Lines(u"Errors"_s, false, u"Photos"_s, u"and 2 more"_s));
    EXPECT_EQ(lines("deletionReport_cancelled.html"), Lines(u"Canceled"_s, false, u"/"_s, QString()));
    EXPECT_EQ(lines("deletionReport_old.pdf"), Lines()) << "a report saved without the facts: its date alone";
    AppTranslator::install(*qApp, u"de"_s);
    EXPECT_EQ(lines("deletionReport_errors.pdf"), Lines(u"Fehler"_s, false, u"Photos"_s, u"und 2 weitere"_s));
    EXPECT_EQ(lines("deletionReport_cancelled.html"), Lines(u"Abgebrochen"_s, false, u"/"_s, QString()));
    AppTranslator::install(*qApp, u"en"_s);

    // A status the report does not know (a file changed by hand) is not shown.
    const QByteArray file = QFile::encodeName(h.path("deletionReport_old.pdf"));
    ASSERT_EQ(::setxattr(file.constData(), "user.cindervault.status", "<b>Done</b>", 11, 0), 0);
    EXPECT_EQ(lines("deletionReport_old.pdf"), Lines());
    ShredResult done;
    EXPECT_EQ(ReportCardFacts::of(done).statusKey, u"Success"_s);
    ASSERT_TRUE(ReportCardFacts::of(done).writeTo(h.path("deletionReport_old.pdf")));
    EXPECT_EQ(lines("deletionReport_old.pdf"), Lines(u"Success"_s, true, QString(), QString()))
        << "a job without targets has a status alone";
}

// Each card says its report's signature state, checked as verify-report checks (trusting the
// user's own key, here in the test program's own data folder): valid, altered, not signed, signed
// by an unknown key. A file is read once until its size or time changes; a new key of the user's
// counts once the tab is shown again.
TEST(ReportsScreen, CardsShowEachReportsSignatureStateCheckedOncePerFileVersion)
{
    const QString keys = ReportSigningKey::defaultFolder();
    ASSERT_TRUE(keys.startsWith(QString::fromStdString(appTestHome()))) << keys.toStdString();
    const auto own = ReportSigningKey::loadOrCreate(keys, u"Erika Mustermann"_s, QString());
    ASSERT_TRUE(own) << own.error().toStdString();
    TempDir otherFolder;
    const auto other =
        ReportSigningKey::create(QString::fromStdString(otherFolder / "keys"), u"Someone"_s, {});
    ASSERT_TRUE(other);
    const QByteArray html = "<html><body><p>42 files deleted</p></body></html>\n";
    const QByteArray valid = *HtmlReportSignature::sign(html, *own);
    QByteArray altered = valid;
    altered.replace("42 files", "43 files");

    ReportsHarness h({});
    writeFile(h.folder / "deletionReport_valid.html", valid.toStdString());
    writeFile(h.folder / "deletionReport_altered.html", altered.toStdString());
    writeFile(h.folder / "deletionReport_unsigned.html", html.toStdString());
    writeFile(h.folder / "deletionReport_other.html", HtmlReportSignature::sign(html, *other)->toStdString());
    emit sharedReportKeeper().reportGenerated();
    SavedReportsModel* reports = h.screen->model()->reports();
    ASSERT_EQ(reports->rowCount(), 4);
    // A card's state line once its check is in (the checks run on the cache's worker).
    const auto shown = [&](const std::string& name) {
        const QModelIndex row = reports->index(h.row(name));
        EXPECT_TRUE(
            QTest::qWaitFor([&] { return row.data(SavedReportsModel::SignatureStateRole).isValid(); }, 30000))
            << name;
        return ReportCol::stateText(row.data(SavedReportsModel::SignatureStateRole).toInt());
    };
    auto* view = h.part<EventHandlingCollectionView>("collectionView");
    (void)view->grab(); // the cards ask for their states as they are drawn
    EXPECT_EQ(shown("deletionReport_valid.html"), u"Signed and valid"_s);
    EXPECT_EQ(shown("deletionReport_altered.html"), u"Altered after signing"_s);
    EXPECT_EQ(shown("deletionReport_unsigned.html"), u"Not signed"_s);
    EXPECT_EQ(shown("deletionReport_other.html"), u"Signed by an unknown key"_s);
    const int checks = reports->signatures().checks();
    EXPECT_EQ(checks, 4) << "each file read once";
    (void)view->grab();
    h.screen->hide();
    h.screen->show();
    (void)shown("deletionReport_valid.html");
    EXPECT_EQ(reports->signatures().checks(), checks) << "unchanged files are not read again";

    // A changed file is read again; a new key of the user's makes the old signatures unknown.
    writeFile(h.folder / "deletionReport_unsigned.html", valid.toStdString());
    EXPECT_EQ(shown("deletionReport_unsigned.html"), u"Signed and valid"_s);
    EXPECT_EQ(reports->signatures().checks(), checks + 1);
    ASSERT_TRUE(ReportSigningKey::create(keys, u"Erika Mustermann"_s, QString()));
    h.screen->hide();
    h.screen->show();
    EXPECT_EQ(shown("deletionReport_valid.html"), u"Signed by an unknown key"_s);
    AppTranslator::install(*qApp, u"de"_s);
    EXPECT_EQ(ReportCol::stateText(int(ReportVerdict::State::Altered)), u"Nach dem Signieren verändert"_s);
    AppTranslator::install(*qApp, u"en"_s);
}

// A large report is read whole to check its signature: the tab draws its card at once, saying that
// the signature is being checked, and the state arrives from the worker.
TEST(ReportsScreen, ALargeReportsCardShowsAtOnceAndItsSignatureStateArrivesLater)
{
    const auto own =
        ReportSigningKey::loadOrCreate(ReportSigningKey::defaultFolder(), u"Erika Mustermann"_s, {});
    ASSERT_TRUE(own) << own.error().toStdString();
    QByteArray html = "<html><body>\n";
    const QByteArray row = "<p>/home/erika/Pictures/holiday/IMG_0001.jpg overwritten and deleted</p>\n";
    while (html.size() < 48 * 1024 * 1024)
        html += row;
    html += "</body></html>\n";
    ReportsHarness h({});
    writeFile(h.folder / "deletionReport_large.html", HtmlReportSignature::sign(html, *own)->toStdString());
    emit sharedReportKeeper().reportGenerated();
    SavedReportsModel* reports = h.screen->model()->reports();
    ASSERT_EQ(reports->rowCount(), 1);
    QSignalSpy arrived(&reports->signatures(), &ReportSignatureCache::stateArrived);
    const int checks = reports->signatures().checks();

    // Drawn without the event loop running: a state read on the window's thread would be here now.
    (void)h.part<EventHandlingCollectionView>("collectionView")->grab();
    EXPECT_EQ(reports->signatures().checks(), checks + 1) << "the card's drawing started the check";
    const QModelIndex card = reports->index(0);
    EXPECT_FALSE(card.data(SavedReportsModel::SignatureStateRole).isValid()) << "no state before the check";
    EXPECT_EQ(ReportCol::checkingText(), u"Checking the signature..."_s);

    ASSERT_TRUE(arrived.wait(120000));
    EXPECT_EQ(arrived.at(0).at(0).toString(), h.path("deletionReport_large.html"));
    ASSERT_TRUE(card.data(SavedReportsModel::SignatureStateRole).isValid());
    EXPECT_EQ(card.data(SavedReportsModel::SignatureStateRole).toInt(), int(ReportVerdict::State::Valid));
    EXPECT_EQ(reports->signatures().checks(), checks + 1) << "asked again, the file is not read again";
}

TEST(ReportsScreen, DeletesAfterTheQuestionAndReloadsWhenAReportIsGenerated)
{
    ReportsHarness h({"deletionReport_a.pdf", "deletionReport_b.pdf", "deletionReport_c.html"});
    {
        SCOPED_TRACE("cancelled: everything stays");
        LogCapture log;
        h.select({"deletionReport_a.pdf", "deletionReport_c.html"});
        h.screen->deleteClicked();
        auto* question = h.dialog<ConfirmDeletionDialog>("confirmation");
        ASSERT_NE(question, nullptr);
        EXPECT_EQ(question->text(), u"Are you sure?"_s);
        question->reject();
        EXPECT_TRUE(log.contains("Delete was cancelled!"));
        EXPECT_EQ(h.screen->model()->reports()->rowCount(), 3);
    }
    {
        SCOPED_TRACE("DELETE: both selected files are removed, the list and buttons follow");
        h.select({"deletionReport_a.pdf", "deletionReport_c.html"});
        h.screen->deleteClicked();
        auto* question = h.dialog<ConfirmDeletionDialog>("confirmation");
        ASSERT_NE(question, nullptr);
        question->buttons().constFirst()->click();
        EXPECT_FALSE(exists(h.folder / "deletionReport_a.pdf"));
        EXPECT_FALSE(exists(h.folder / "deletionReport_c.html"));
        EXPECT_TRUE(exists(h.folder / "deletionReport_b.pdf"));
        EXPECT_EQ(h.screen->model()->reports()->files(), QStringList{u"deletionReport_b.pdf"_s});
        EXPECT_TRUE(h.part("deleteButton")->isHidden());
    }
    {
        SCOPED_TRACE("a report generated elsewhere is listed at once");
        writeFile(h.folder / "deletionReport_new.pdf", "x");
        emit sharedReportKeeper().reportGenerated();
        EXPECT_EQ(h.screen->model()->reports()->rowCount(), 2);
    }
    {
        SCOPED_TRACE("none left: the empty message");
        h.select({"deletionReport_b.pdf", "deletionReport_new.pdf"});
        h.screen->model()->deleteSelected();
        EXPECT_TRUE(h.part<QLabel>("emptyMessage")->isVisible());
        EXPECT_TRUE(h.part<EventHandlingCollectionView>("collectionView")->isHidden());
    }
}

TEST(ReportsScreen, ReloadsWhenAnotherReportFolderIsChosen)
{
    ReportsHarness h({"deletionReport_old.pdf"});
    TempDir other;
    writeFile(other / "deletionReport_x.pdf", "x");
    writeFile(other / "deletionReport_y.html", "x");
    // What the Deletion pane stores when a folder is chosen; no report is made in between.
    h.settings.setString(QString::fromStdString(other.path()),
                         SettingsManager::kSettingsDeletionReportLocation);
    QStringList listed = h.screen->model()->reports()->files();
    listed.sort();
    EXPECT_EQ(listed, (QStringList{u"deletionReport_x.pdf"_s, u"deletionReport_y.html"_s}));
    EXPECT_EQ(h.screen->model()->reports()->pathAt(0).section(u'/', 0, -2),
              QString::fromStdString(other.path()));

    // A reset returns to the default folder, which holds no reports here.
    h.settings.reset();
    EXPECT_EQ(h.screen->model()->reports()->folder(), h.settings.getReportPath());
    EXPECT_EQ(h.screen->model()->reports()->rowCount(), 0);
    EXPECT_TRUE(h.part<QLabel>("emptyMessage")->isVisible());
}

TEST(ReportsScreen, AMissingReportIsNamedAndHtmlShowsInTheReviewWindow)
{
    ReportsHarness h({"deletionReport_a.html"});
    {
        SCOPED_TRACE("a report that disappeared from disk");
        const QString gone = h.path("deletionReport_gone.pdf");
        h.screen->openReportForPath(gone);
        auto* alert = h.dialog<QMessageBox>("alert");
        ASSERT_NE(alert, nullptr);
        EXPECT_EQ(alert->text(), u"Error"_s);
        EXPECT_EQ(alert->informativeText(), u"The file %1 does not exist."_s.arg(gone));
        alert->accept();
        EXPECT_TRUE(h.opened.isEmpty());
        EXPECT_TRUE(h.reviewed.isEmpty());
    }
    {
        SCOPED_TRACE("the window's Reports tab opens an HTML report in the review window, titled with "
                     "its path, the report laid out by the renderer");
        WindowController window(h.settings);
        window.setAttribute(Qt::WA_DeleteOnClose, false);
        auto* list = window.findChild<ReportModulListViewController*>();
        ASSERT_NE(list, nullptr);
        list->openReportForPath(h.path("deletionReport_a.html"));
        auto* review = window.findChild<ReportReviewViewController*>();
        ASSERT_NE(review, nullptr);
        EXPECT_EQ(review->windowTitle(), h.path("deletionReport_a.html"));
        QSignalSpy ready(review->preview(), &ReportPreview::ready);
        ASSERT_TRUE(ready.wait(60000)) << review->preview()->failure().toStdString();
        EXPECT_EQ(review->pane()->document()->pageCount(), 1);
        EXPECT_TRUE(
            review->pane()->document()->getAllText(0).text().contains(u"report deletionReport_a.html"_s));
    }
}

TEST(ReportsScreen, AReportAskedForAgainReplacesTheOneStillBeingRendered)
{
    // A renderer slow enough to be overtaken: it writes a PDF after a second.
    TempDir dir;
    const QByteArray previous = qgetenv("CINDERVAULT_RENDERER");
    const std::string renderer = dir / "slow.sh";
    writeFile(renderer, std::string("#!/bin/sh\nsleep 1; echo '%PDF-1.4' > \"$2\"\n"));
    ::chmod(renderer.c_str(), 0755);
    qputenv("CINDERVAULT_RENDERER", QByteArray::fromStdString(renderer));
    auto result = std::make_shared<ShredResult>();
    result->end = ShredResult::Clock::now();
    result->start = result->end - std::chrono::seconds(5);
    result->algorithm = std::make_shared<Algorithm>(16, 1, " 1 pass: random data", "");
    result->options = std::make_shared<ShredOptions>();
    result->paths = std::make_shared<PathCollection>();

    ReportPreview preview;
    QSignalSpy ready(&preview, &ReportPreview::ready);
    QSignalSpy failed(&preview, &ReportPreview::failed);
    {
        SCOPED_TRACE("a report that cannot be made after one still being rendered: the earlier one is "
                     "never heard of after the failure");
        preview.renderResult(result, sharedReportKeeper().options());
        preview.renderResult(nullptr, sharedReportKeeper().options());
        ASSERT_EQ(failed.count(), 1);
        QTest::qWait(2500); // the earlier renderer (one second) has ended: its end would arrive now
        EXPECT_EQ(failed.count(), 1) << "the earlier render was heard of after the failure";
        EXPECT_EQ(ready.count(), 0);
        EXPECT_EQ(preview.state(), ReportPreview::State::Failed);
    }
    {
        SCOPED_TRACE("two reports asked for at once: only the second is shown");
        preview.renderResult(result, sharedReportKeeper().options());
        const QString first = preview.reportId();
        preview.renderResult(result, sharedReportKeeper().options());
        ASSERT_NE(preview.reportId(), first);
        ASSERT_TRUE(ready.wait(10000));
        QTest::qWait(1500); // the first renderer's end, were it heard, would arrive now
        EXPECT_EQ(ready.count(), 1);
        EXPECT_EQ(preview.state(), ReportPreview::State::Ready);
        EXPECT_TRUE(QFile::exists(preview.pdfPath()));
    }
    qputenv("CINDERVAULT_RENDERER", previous);
}

} // namespace cv::test
