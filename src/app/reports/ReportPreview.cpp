#include "app/reports/ReportPreview.h"

#include "common/Log.h"
#include "reports/ReportFactory.h"
#include "reports/ReportRenderStep.h"

#include <QFile>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace cv {

ReportPreview::ReportPreview(QObject* parent) : QObject(parent), m_render(new ReportRenderStep(this))
{
    connect(m_render, &ReportRenderStep::finished, this, &ReportPreview::rendered);
}

ReportPreview::~ReportPreview() = default; // a renderer still at work is killed with the render step

void ReportPreview::renderResult(const std::shared_ptr<const ShredResult>& result,
                                 const ReportOptions& options)
{
    m_state = State::Rendering;
    m_pdfPath.clear();
    m_failure.clear();
    // The report shown before, and a render still at work, give way to this one.
    m_render->clear();
    ReportFactory factory(result, options);
    const QString html = result ? factory.generateHTMLReport() : QString();
    m_reportId = factory.reportId();
    if (html.isNull()) {
        finish(State::Failed, tr("the report template could not be read"));
        return;
    }
    m_render->renderHtml(html);
}

void ReportPreview::renderFile(const QString& htmlPath)
{
    m_state = State::Rendering;
    m_pdfPath.clear();
    m_failure.clear();
    m_reportId.clear();
    m_render->renderFile(htmlPath);
}

void ReportPreview::rendered(bool ok, const QString& error)
{
    m_pdfPath = ok ? m_render->pdfPath() : QString();
    finish(ok ? State::Ready : State::Failed, error);
}

void ReportPreview::finish(State state, const QString& failure)
{
    m_state = state;
    m_failure = failure;
    if (state == State::Ready) {
        emit ready(m_pdfPath);
    } else {
        logMessage("Report could not be shown: ", failure.toStdString());
        emit failed(failure);
    }
}

bool ReportPreview::savePdf(const QString& destination) const
{
    QFile source(m_pdfPath);
    QSaveFile target(destination);
    // A report lists every deleted path: a copy saved elsewhere is the user's alone too.
    bool saved = m_state == State::Ready && source.open(QIODevice::ReadOnly) &&
                 target.open(QIODevice::WriteOnly) &&
                 target.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    if (saved) {
        const QByteArray data = source.readAll();
        saved = target.write(data) == data.size() && target.commit();
    }
    if (!saved)
        logMessage("failed to save file ", QFile::encodeName(destination).toStdString(), ": ",
                   target.errorString().toStdString());
    return saved;
}

} // namespace cv
