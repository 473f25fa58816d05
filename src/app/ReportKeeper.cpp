#include "app/ReportKeeper.h"

#include "app/AppTranslator.h"
#include "common/Log.h"
#include "engine/ShredResult.h"
#include "reports/ReportBuilder.h"

#include <QDesktopServices>
#include <QFile>
#include <QMessageBox>
#include <QUrl>

namespace cv {

ReportKeeper::ReportKeeper(SettingsManager& settings, QObject* parent) : QObject(parent), m_settings(settings)
{
    setOpener({});
}

void ReportKeeper::setOpener(std::function<bool(const QString& path)> opener)
{
    m_opener = opener ? std::move(opener) : [](const QString& path) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    };
}

ReportKeeper::~ReportKeeper()
{
    releaseBuilders();
}

void ReportKeeper::createReport(std::shared_ptr<ShredResult> result,
                                std::function<void(const ReportOutcome&)> done)
{
    auto* builder = new ReportBuilder(m_settings, this);
    builder->setLanguage(m_language.isEmpty() ? AppTranslator::languageInUse() : m_language);
    m_result = result;
    m_builder = builder;
    m_outcome.reset();
    connect(builder, &ReportBuilder::finished, this, [this, builder, done = std::move(done)] {
        ReportOutcome outcome;
        switch (builder->outcome()) {
        case ReportBuilder::Outcome::Saved:
            outcome.state = ReportOutcome::State::Saved;
            outcome.path = builder->savedPath();
            break;
        case ReportBuilder::Outcome::NotSaved:
            outcome.state = ReportOutcome::State::NotSaved;
            break;
        case ReportBuilder::Outcome::None:
        case ReportBuilder::Outcome::Failed:
            outcome.state = ReportOutcome::State::Failed;
            outcome.failure = builder->failure();
            break;
        }
        if (m_builder == builder)
            m_outcome = std::make_shared<ReportOutcome>(outcome);
        builder->deleteLater();
        if (done)
            done(outcome);
    });
    builder->createReportWithShredResult(std::move(result));
}

void ReportKeeper::showReport(const std::shared_ptr<ShredResult>& result, QWidget* parent)
{
    if (!result || result->canceled) {
        tell(parent, tr("No report is made for a cancelled job."));
    } else if (m_result.lock() != result) {
        tell(parent, tr("No report was made for this job."));
    } else if (m_builder && !m_outcome) {
        tell(parent, tr("The report is still being made. Please try again in a moment."));
    } else if (!m_outcome || m_outcome->state == ReportOutcome::State::Failed) {
        tell(parent, tr("The report could not be made."), m_outcome ? m_outcome->failure : QString());
    } else if (m_outcome->state == ReportOutcome::State::NotSaved) {
        tell(parent, tr("The report was not saved: automatic saving of reports is off in the settings."));
    } else if (!m_opener(m_outcome->path)) {
        logMessage("No viewer could open ", QFile::encodeName(m_outcome->path).toStdString());
        tell(parent, tr("No application could open the report."), m_outcome->path);
    }
}

void ReportKeeper::tell(QWidget* parent, const QString& text, const QString& detail)
{
    logMessage("Report: ", text.toStdString(), detail.isEmpty() ? "" : " ", detail.toStdString());
    auto* box = new QMessageBox(QMessageBox::Information, tr("Report"), text, QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("ReportMessage"));
    // The reason reads as a sentence of its own below the message.
    QString sentence = detail;
    if (!sentence.isEmpty())
        sentence[0] = sentence[0].toUpper();
    box->setInformativeText(sentence);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    box->open();
}

void ReportKeeper::releaseBuilders()
{
    const auto builders = findChildren<ReportBuilder*>(Qt::FindDirectChildrenOnly);
    for (ReportBuilder* builder : builders) {
        if (builder->isBusy())
            logLine("Leaving while a report is still being made; it is not saved");
        delete builder;
    }
}

} // namespace cv
