#include "app/reports/ReportReviewViewController.h"

#include "app/controls/ScreenFit.h"
#include "app/reports/ReportPdfPane.h"
#include "app/reports/ReportPreview.h"

#include <QIcon>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace cv {

ReportReviewViewController::ReportReviewViewController(const QUrl& urlToOpen, QWidget* parent)
    : QWidget(parent, Qt::Window), m_urlToOpen(urlToOpen), m_preview(new ReportPreview(this)),
      m_pane(new ReportPdfPane(this))
{
    setObjectName(u"ReportReviewViewController"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(QIcon(u":/images/cindervault.svg"_s));
    setWindowTitle(m_urlToOpen.toLocalFile());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pane);
    // 900 wide and four fifths of the screen high, where that fits with the frame.
    ScreenFit::fit(this, QSize(900, ScreenFit::availableArea(this).height() * 4 / 5), true);

    connect(m_preview, &ReportPreview::ready, m_pane, &ReportPdfPane::showPdf);
    connect(m_preview, &ReportPreview::failed, m_pane, &ReportPdfPane::showFailure);
    m_pane->showRendering();
    m_preview->renderFile(m_urlToOpen.toLocalFile());
}

} // namespace cv
