#include "app/ReportKeeper.h"

#include "app/reports/ReportWindowController.h"
#include "common/Log.h"
#include "engine/ShredResult.h"
#include "reports/ReportBuilder.h"

#include <QMessageBox>

namespace cv {

ReportKeeper::ReportKeeper(SettingsManager& settings, QObject* parent) : QObject(parent), m_settings(settings)
{}

ReportKeeper::~ReportKeeper()
{
    releaseBuilders();
}

void ReportKeeper::createReport(std::shared_ptr<ShredResult> result,
                                std::function<void(const ReportOutcome&)> done)
{
    // No language of its own: the report is in the language the settings hold when it is made,
    // which the General pane changes at once, while the window keeps the one it started with.
    auto* builder = new ReportBuilder(m_settings, this);
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
        builder->deleteLater();
        if (done)
            done(outcome);
    });
    builder->createReportWithShredResult(std::move(result));
}

void ReportKeeper::showReport(const std::shared_ptr<ShredResult>& result, QWidget* parent)
{
    if (!result) {
        tell(parent, tr("No report is made for a job that has not ended."));
        return;
    }
    // One report window at a time: the Report button pressed again shows a new report.
    if (m_reportWindow)
        m_reportWindow->close();
    auto* window = new ReportWindowController(m_settings, result, parent ? parent->window() : nullptr);
    m_reportWindow = window;
    window->show();
}

void ReportKeeper::tell(QWidget* parent, const QString& text)
{
    logMessage("Report: ", text.toStdString());
    auto* box = new QMessageBox(QMessageBox::Information, tr("Report"), text, QMessageBox::Ok, parent);
    box->setObjectName(QStringLiteral("ReportMessage"));
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
