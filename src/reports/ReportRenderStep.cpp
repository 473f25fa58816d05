#include "reports/ReportRenderStep.h"

#include "reports/ReportStage.h"

#include <QFile>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace cv {

ReportRenderStep::ReportRenderStep(QObject* parent) : QObject(parent) {}

ReportRenderStep::~ReportRenderStep()
{
    clear();
}

void ReportRenderStep::clear()
{
    // The renderer first: it must not write into the folder while the folder goes.
    if (m_renderer) {
        m_renderer->disconnect(this);
        delete m_renderer;
    }
    m_pdfPath.clear();
    m_stage.reset();
}

bool ReportRenderStep::newStage()
{
    clear();
    m_stage = std::make_unique<ReportStage>();
    return m_stage->isValid();
}

void ReportRenderStep::renderHtml(const QString& html)
{
    if (!newStage()) {
        stagingFailed();
        return;
    }
    // The folder (0700) and the file (0600) are the user's alone, like the report.
    const QString htmlPath = m_stage->filePath(u"report.html"_s);
    QSaveFile file(htmlPath);
    const QByteArray utf8 = html.toUtf8();
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(QFile::ReadOwner | QFile::WriteOwner) ||
        file.write(utf8) != utf8.size() || !file.commit()) {
        stagingFailed();
        return;
    }
    start(htmlPath);
}

void ReportRenderStep::renderFile(const QString& htmlPath)
{
    if (!newStage()) {
        stagingFailed();
        return;
    }
    start(htmlPath);
}

void ReportRenderStep::stagingFailed()
{
    emit finished(false, tr("the report could not be staged for rendering"));
}

void ReportRenderStep::start(const QString& htmlPath)
{
    const QString pdfPath = m_stage->filePath(u"report.pdf"_s);
    auto* renderer = new ReportRenderProcess(this);
    m_renderer = renderer;
    if (m_timeout)
        renderer->setTimeout(*m_timeout);
    connect(renderer, &ReportRenderProcess::finished, this,
            [this, renderer, pdfPath](bool ok, const QString& error) {
                renderer->deleteLater();
                m_renderer = nullptr;
                m_pdfPath = ok ? pdfPath : QString();
                emit finished(ok, error);
            });
    renderer->start(htmlPath, pdfPath);
}

} // namespace cv
