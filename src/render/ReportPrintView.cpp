#include "render/ReportPrintView.h"

#include <QPointer>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>
#include <QWebEngineView>

using namespace Qt::StringLiterals;

namespace cv {

ReportPrintView::ReportPrintView(QObject* parent)
    : QObject(parent), m_profile(new QWebEngineProfile(this)), m_view(std::make_unique<QWebEngineView>())
{
    // Off the record: nothing is stored on disk.
    auto* page = new QWebEnginePage(m_profile, m_view.get());
    m_view->setPage(page);
    // Off screen, at a fixed size: the report is laid out as wide as this view.
    m_view->setAttribute(Qt::WA_DontShowOnScreen);
    m_view->resize(kViewSize);
    QWebEngineSettings* settings = page->settings();
    settings->setAttribute(QWebEngineSettings::PrintElementBackgrounds, true);
    // Scroll bars would take their width from the layout and show in the PDF.
    settings->setAttribute(QWebEngineSettings::ShowScrollBars, false);
    // The report is static: no script of its own runs (file names are escaped, and this makes
    // sure), and nothing is fetched from the network.
    settings->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, false);
    m_view->show();

    connect(page, &QWebEnginePage::loadFinished, this, &ReportPrintView::loaded);
    connect(page, &QWebEnginePage::renderProcessTerminated, this,
            [this](QWebEnginePage::RenderProcessTerminationStatus, int exitCode) {
                emit failed(u"the web engine's renderer ended unexpectedly (exit code %1)"_s.arg(exitCode));
            });
}

ReportPrintView::~ReportPrintView()
{
    // The page goes before its profile.
    m_view.reset();
}

void ReportPrintView::load(const QString& html, const QUrl& baseUrl)
{
    m_view->setHtml(html, baseUrl);
}

void ReportPrintView::load(const QUrl& url)
{
    m_view->load(url);
}

void ReportPrintView::run(const QString& script, std::function<void(const QVariant&)> answer)
{
    m_view->page()->runJavaScript(script, QWebEngineScript::ApplicationWorld,
                                  [self = QPointer(this), answer = std::move(answer)](const QVariant& value) {
                                      if (self)
                                          answer(value);
                                  });
}

void ReportPrintView::print(const QPageLayout& layout, std::function<void(const QByteArray&)> answer)
{
    m_view->page()->printToPdf(
        [self = QPointer(this), answer = std::move(answer)](const QByteArray& pdf) {
            if (self)
                answer(pdf);
        },
        layout);
}

} // namespace cv
