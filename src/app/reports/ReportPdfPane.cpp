#include "app/reports/ReportPdfPane.h"

#include "app/Palette.h"
#include "app/controls/StyledLabel.h"

#include <QLabel>
#include <QPdfDocument>
#include <QPdfView>
#include <QStackedLayout>

using namespace Qt::StringLiterals;

namespace cv {

ReportPdfPane::ReportPdfPane(QWidget* parent)
    : QWidget(parent), m_document(new QPdfDocument(this)), m_view(new QPdfView(this)),
      m_status(styledLabel(this, 14, Palette::secondaryText(), Qt::AlignCenter)),
      m_stack(new QStackedLayout(this))
{
    m_view->setObjectName(u"reportView"_s);
    m_view->setDocument(m_document);
    m_view->setPageMode(QPdfView::PageMode::MultiPage);
    m_view->setZoomMode(QPdfView::ZoomMode::FitToWidth);
    m_status->setObjectName(u"reportStatus"_s);
    m_status->setWordWrap(true);
    m_stack->addWidget(m_status);
    m_stack->addWidget(m_view);
}

void ReportPdfPane::showRendering()
{
    m_document->close();
    m_status->setText(tr("The report is being made..."));
    m_stack->setCurrentWidget(m_status);
}

bool ReportPdfPane::showPdf(const QString& path)
{
    if (m_document->load(path) != QPdfDocument::Error::None) {
        showFailure(tr("the rendered report could not be read"));
        return false;
    }
    m_stack->setCurrentWidget(m_view);
    return true;
}

void ReportPdfPane::showFailure(const QString& reason)
{
    m_document->close();
    // The reason reads as a sentence of its own below the message.
    m_status->setText(tr("The report could not be made.") + u"\n"_s + sentence(reason));
    m_stack->setCurrentWidget(m_status);
}

QString ReportPdfPane::sentence(const QString& reason)
{
    QString text = reason.trimmed();
    if (text.isEmpty())
        return text;
    text[0] = text[0].toUpper();
    if (!text.endsWith(u'.') && !text.endsWith(u'!') && !text.endsWith(u'?'))
        text += u'.';
    return text;
}

} // namespace cv
