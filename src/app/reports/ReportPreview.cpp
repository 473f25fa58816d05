#include "app/reports/ReportPreview.h"

#include "common/Log.h"
#include "reports/ReportFactory.h"
#include "reports/ReportRenderProcess.h"
#include "reports/ReportStage.h"

#include <QFile>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace cv {

ReportPreview::ReportPreview(SettingsManager& settings, QObject* parent)
    : QObject(parent), m_settings(settings)
{}

ReportPreview::~ReportPreview() = default; // a renderer still at work is killed with its child object

void ReportPreview::renderResult(const std::shared_ptr<const ShredResult>& result)
{
    m_stage = std::make_unique<ReportStage>();
    ReportFactory factory(result, &m_settings);
    if (!m_language.isEmpty())
        factory.setLanguage(m_language);
    const QString html = result ? factory.generateHTMLReport() : QString();
    m_reportId = factory.reportId();
    if (html.isNull()) {
        finish(State::Failed, tr("the report template could not be read"));
        return;
    }
    // The renderer reads the report from a file: the text may be far larger than the web engine
    // takes inline.
    const QString htmlPath = m_stage->filePath(u"report.html"_s);
    QSaveFile file(htmlPath);
    const QByteArray utf8 = html.toUtf8();
    if (!m_stage->isValid() || !file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner) || file.write(utf8) != utf8.size() ||
        !file.commit()) {
        finish(State::Failed, tr("the report could not be staged for rendering"));
        return;
    }
    startRenderer(htmlPath);
}

void ReportPreview::renderFile(const QString& htmlPath)
{
    m_stage = std::make_unique<ReportStage>();
    m_reportId.clear();
    if (!m_stage->isValid()) {
        finish(State::Failed, tr("the report could not be staged for rendering"));
        return;
    }
    startRenderer(htmlPath);
}

void ReportPreview::startRenderer(const QString& htmlPath)
{
    if (m_renderer)
        delete m_renderer; // a report asked for again replaces the one still being rendered
    m_state = State::Rendering;
    m_pdfPath.clear();
    m_failure.clear();
    const QString pdfPath = m_stage->filePath(u"report.pdf"_s);
    auto* renderer = new ReportRenderProcess(this);
    m_renderer = renderer;
    connect(renderer, &ReportRenderProcess::finished, this,
            [this, renderer, pdfPath](bool ok, const QString& error) {
                renderer->deleteLater();
                if (m_renderer != renderer)
                    return;
                m_renderer = nullptr;
                m_pdfPath = ok ? pdfPath : QString();
                finish(ok ? State::Ready : State::Failed, error);
            });
    renderer->start(htmlPath, pdfPath);
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
