// Amounts as the window shows them: the sizes and counts of the screens that show them, read off
// their widgets in English and in German, each in the one format of the window's language (not
// the machine's).
#include "AppTestMain.h"
#include "TempDir.h"
#include "app/dashboard/DashboardViewController.h"
#include "app/freespace/FreeSpaceSelection.h"
#include "app/freespace/FreeSpaceViewController.h"
#include "app/progress/ProgressViewController.h"
#include "app/shred/OpenPanel.h"
#include "app/shred/SelectionTexts.h"
#include "engine/AlgorithmCollection.h"
#include "settings/NotificationManager.h"
#include "translations/AppTranslator.h"

#include <QAbstractItemView>
#include <QFileSystemModel>
#include <QLabel>
#include <QRegularExpression>
#include <QTableWidget>
#include <QTest>
#include <QTextDocumentFragment>
#include <gtest/gtest.h>

#include <unistd.h>

using namespace Qt::StringLiterals;

namespace cv::test {

namespace {

constexpr std::int64_t kLarge = 191'500'000'000; // "191.50 GB": a size whose second decimal is 0
constexpr std::int64_t kFree = 79'060'000'000;
constexpr std::uint64_t kFiles = 1725;
constexpr std::uint64_t kErrors = 1710;

// The shown text of every label, table cell and list row below widget, as plain text.
QStringList shownTexts(const QWidget& widget)
{
    QStringList texts;
    for (const QLabel* label : widget.findChildren<QLabel*>())
        texts << (Qt::mightBeRichText(label->text())
                      ? QTextDocumentFragment::fromHtml(label->text()).toPlainText()
                      : label->text());
    for (const QAbstractItemView* view : widget.findChildren<QAbstractItemView*>()) {
        const QAbstractItemModel* model = view->model();
        for (int row = 0; model && row < model->rowCount(view->rootIndex()); ++row) {
            for (int column = 0; column < model->columnCount(view->rootIndex()); ++column)
                texts << model->index(row, column, view->rootIndex()).data().toString();
        }
    }
    return texts;
}

// The conventions of one language: its decimal sign and its digit group separator.
struct NumberFormat
{
    QChar decimal;
    QChar group;
};

// Checks every byte amount and every count in texts against format: sizes with their unit's
// decimals in full ("191.50 GB", never "191.5 GB") or none, in the language's decimal sign;
// counts of 1000 and more with their digits grouped, in the language's separator.
void expectOneFormat(const QStringList& texts, NumberFormat format, const QString& where)
{
    static const QRegularExpression size(u"(\\d[\\d.,]*) (KB|MB|GB|TB)\\b"_s);
    const QString d = QRegularExpression::escape(format.decimal);
    const QString g = QRegularExpression::escape(format.group);
    const QRegularExpression wellFormed[] = {
        QRegularExpression(u"^\\d{1,3}$"_s),                   // whole, any unit
        QRegularExpression(u"^\\d{1,3}%1\\d$"_s.arg(d)),       // MB
        QRegularExpression(u"^\\d{1,3}%1\\d\\d$"_s.arg(d)),    // GB and above
        QRegularExpression(u"^\\d{1,3}(%1\\d{3})+$"_s.arg(g)), // counts
    };
    // A count of four digits or more without its groups, or grouped with the other sign.
    const QRegularExpression ungrouped(u"(?<![\\d.,])\\d{4,}(?![\\d.,])"_s);
    for (const QString& text : texts) {
        for (auto it = size.globalMatch(text); it.hasNext();) {
            const QRegularExpressionMatch match = it.next();
            const QString number = match.captured(1);
            const QString unit = match.captured(2);
            const bool whole = wellFormed[0].match(number).hasMatch();
            const bool fits = whole || (unit == u"MB"_s && wellFormed[1].match(number).hasMatch()) ||
                              (unit != u"MB"_s && unit != u"KB"_s && wellFormed[2].match(number).hasMatch());
            EXPECT_TRUE(fits) << where.toStdString() << ": size \"" << match.captured().toStdString()
                              << "\" in \"" << text.toStdString() << "\"";
        }
        EXPECT_FALSE(ungrouped.match(text).hasMatch())
            << where.toStdString() << ": an ungrouped count in \"" << text.toStdString() << "\"";
    }
}

std::shared_ptr<ShredResult> bigResult()
{
    auto result = std::make_shared<ShredResult>();
    result->lastState = std::make_shared<ShredState>();
    result->lastState->fileCount = kFiles;
    result->fileCountTotal = kFiles + kErrors;
    result->fileCountFinished = kFiles + kErrors;
    result->fileCountRemoved = kFiles;
    result->bytesCountFinished = kLarge;
    result->bytesCountRemoved = kLarge;
    result->errorCount = kErrors;
    return result;
}

Volume shownVolume(const std::string& path, std::int64_t size, std::int64_t free)
{
    Volume volume;
    volume.setPath(path);
    volume.setName("Data");
    volume.setSize(size);
    volume.setFreeSpace(free);
    return volume;
}

// What the screens show of the same large job, volume and selection in language.
QStringList textsOfTheScreens(const QString& language, const std::string& folder)
{
    EXPECT_EQ(AppTranslator::install(*qApp, language), language);
    QStringList texts;

    // The free-space list: a volume's size beside its free space.
    FreeSpaceViewController freeSpace(
        new FreeSpaceSelection([] { return std::vector<Volume>{shownVolume("/test/data", kLarge, kFree)}; },
                               [](const std::string&) { return std::make_shared<PathCollection>(); },
                               [](const std::string&) { return true; }),
        false);
    texts << shownTexts(freeSpace);

    // The finished screen of a job with many files and errors, and its notification.
    ProgressViewController finished({nullptr, AlgorithmCollection().findByIdentifier(16), nullptr});
    finished.finished(bigResult());
    texts << shownTexts(finished);
    const auto [title, text] = NotificationManager::titleAndTextForResult(*bigResult());
    texts << text;

    // The overview's disk.
    DashboardFacts facts;
    facts.totalBytes = kLarge;
    facts.freeBytes = kFree;
    DashboardViewController dashboard(facts);
    texts << shownTexts(dashboard);

    // The shred screen's summary and question over a large selection.
    PathCollection collection;
    std::vector<std::string> paths;
    for (int i = 0; i < 1004; ++i)
        paths.push_back("/data/item" + std::to_string(i));
    collection.setPaths(paths);
    collection.setFileCount(kFiles);
    collection.setTotalSize(kFree);
    texts << SelectionTexts::summaryText(collection) << SelectionTexts::filesQuestion(collection);

    // The open panel's list: a file's size as the window writes it.
    OpenPanel panel(nullptr);
    panel.setDirectory(QString::fromStdString(folder));
    auto* model = panel.findChild<QFileSystemModel*>();
    EXPECT_NE(model, nullptr);
    const QString file = QString::fromStdString(folder + "/image.iso");
    EXPECT_TRUE(QTest::qWaitFor([&] { return model && model->index(file).isValid(); }, 10000));
    QString panelSize;
    for (const QAbstractItemView* view : panel.findChildren<QAbstractItemView*>()) {
        for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row) {
            const QModelIndex name = view->model()->index(row, 0, view->rootIndex());
            if (name.data().toString() == u"image.iso"_s)
                panelSize = name.siblingAtColumn(1).data().toString();
        }
    }
    texts << panelSize;
    return texts;
}

} // namespace

TEST(WindowAmounts, EverySizeAndCountInTheFormatOfTheWindowsLanguage)
{
    TempDir folder;
    // A sparse file: its size without its bytes.
    writeFile(folder / "image.iso", std::string());
    ASSERT_EQ(::truncate((folder / "image.iso").c_str(), kLarge), 0);

    const QStringList english = textsOfTheScreens(u"en"_s, folder.path());
    const QStringList german = textsOfTheScreens(u"de"_s, folder.path());
    AppTranslator::install(*qApp, u"en"_s);

    expectOneFormat(english, {u'.', u','}, u"English"_s);
    expectOneFormat(german, {u',', u'.'}, u"German"_s);
    // Each screen shows the same amounts the same way: the size with its second decimal, the counts
    // grouped; the free-space list, the finished screen, the overview and the open panel alike.
    const auto shows = [](const QStringList& texts, const QString& part) {
        return std::count_if(texts.begin(), texts.end(),
                             [&](const QString& text) { return text.contains(part); });
    };
    EXPECT_GE(shows(english, u"191.50 GB"_s), 4) << english.join(u" | "_s).toStdString();
    EXPECT_GE(shows(german, u"191,50 GB"_s), 4) << german.join(u" | "_s).toStdString();
    EXPECT_GE(shows(english, u"79.06 GB"_s), 3);
    EXPECT_GE(shows(german, u"79,06 GB"_s), 3);
    EXPECT_GE(shows(english, u"1,725"_s), 3) << "finished screen, notification, selection";
    EXPECT_GE(shows(german, u"1.725"_s), 3);
    EXPECT_GE(shows(english, u"1,710"_s), 1);
    EXPECT_GE(shows(german, u"1.710"_s), 1);
    EXPECT_GE(shows(english, u"1,001 more"_s), 1) << "the items beyond those named";
    EXPECT_GE(shows(german, u"1.001 weitere"_s), 1);
}

} // namespace cv::test
