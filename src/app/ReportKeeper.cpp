#include "app/ReportKeeper.h"

#include "app/reports/ReportWindowController.h"
#include "common/Log.h"
#include "engine/ShredResult.h"
#include "reports/ReportBuilder.h"
#include "reports/ReportSettings.h"
#include "settings/SettingsManager.h"

#include <QMessageBox>

namespace cv {

ReportKeeper::ReportKeeper(SettingsManager& settings, QObject* parent) : QObject(parent), m_settings(settings)
{
    // A new report folder chosen in the settings is listed at once, not only after the next report;
    // a reset (announced as pinChanged, since the PIN goes with it) returns to the default folder.
    connect(&m_settings, &SettingsManager::valueChanged, this, [this](const QString& key) {
        if (key == SettingsManager::kSettingsDeletionReportLocation)
            emit reportFolderChanged();
    });
    connect(&m_settings, &SettingsManager::pinChanged, this, &ReportKeeper::reportFolderChanged);
}

ReportKeeper::~ReportKeeper()
{
    releaseBuilders();
}

ReportOptions ReportKeeper::options() const
{
    return ReportSettings::options(m_settings);
}

QString ReportKeeper::reportFolder() const
{
    return m_settings.getReportPath();
}

void ReportKeeper::createReport(std::shared_ptr<ShredResult> result,
                                std::function<void(const ReportOutcome&)> done)
{
    auto* builder = new ReportBuilder(this);
    connect(builder, &ReportBuilder::reportGenerated, this, &ReportKeeper::reportGenerated);
    connect(builder, &ReportBuilder::finished, this, [builder, done = std::move(done)] {
        const ReportOutcome outcome = builder->outcome();
        builder->deleteLater();
        if (done)
            done(outcome);
    });
    builder->createReportWithShredResult(std::move(result), options());
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
    auto* window = new ReportWindowController(m_settings, *this, result, parent ? parent->window() : nullptr);
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
