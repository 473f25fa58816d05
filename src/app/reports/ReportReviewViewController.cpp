#include "app/reports/ReportReviewViewController.h"

#include "app/reports/ReportPdfPane.h"
#include "app/reports/ReportPreview.h"

#include <QGuiApplication>
#include <QIcon>
#include <QScreen>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace cv {

ReportReviewViewController::ReportReviewViewController(SettingsManager& settings, const QUrl& urlToOpen,
                                                       QWidget* parent)
    : QWidget(parent, Qt::Window), m_urlToOpen(urlToOpen), m_preview(new ReportPreview(settings, this)),
      m_pane(new ReportPdfPane(this))
{
    setObjectName(u"ReportReviewViewController"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(u":/images/cindervault.svg"_s));
    setWindowTitle(m_urlToOpen.toLocalFile());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pane);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const int height = screen ? screen->availableGeometry().height() * 4 / 5 : 800;
    resize(900, height);

    connect(m_preview, &ReportPreview::ready, m_pane, &ReportPdfPane::showPdf);
    connect(m_preview, &ReportPreview::failed, m_pane, &ReportPdfPane::showFailure);
    m_pane->showRendering();
    m_preview->renderFile(m_urlToOpen.toLocalFile());
}

} // namespace cv
