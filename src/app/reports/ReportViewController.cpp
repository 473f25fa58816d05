#include "app/reports/ReportViewController.h"

#include "app/Palette.h"
#include "app/ReportKeeper.h"
#include "app/controls/PillButton.h"
#include "app/controls/StyledLabel.h"
#include "app/dialogs/WarningAlert.h"
#include "app/reports/ReportPdfPane.h"
#include "app/reports/ReportPreview.h"
#include "app/reports/ReportPrinter.h"
#include "common/Log.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPrintDialog>
#include <QPrinter>
#include <QShowEvent>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace cv {

ReportViewController::ReportViewController(const ReportKeeper& keeper, QWidget* parent)
    : QWidget(parent), m_keeper(keeper), m_preview(new ReportPreview(this)), m_pane(new ReportPdfPane(this)),
      m_printButton(new PillButton(tr("Print"), PillButton::Style::Filled, this)),
      m_pdfButton(new PillButton(tr("Save as PDF"), PillButton::Style::Outlined, this)),
      m_closeButton(new PillButton(tr("Close"), PillButton::Style::Outlined, this)),
      m_savedLabel(styledLabel(this, 12, Palette::secondaryText(), Qt::AlignLeft | Qt::AlignVCenter))
{
    setObjectName(u"ReportViewController"_s);
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, Palette::background());
    setPalette(background);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 12);
    layout->setSpacing(12);
    layout->addWidget(m_pane, 1);
    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(20, 0, 20, 0);
    buttons->setSpacing(14);
    const std::array<std::pair<PillButton*, QString>, 3> named{{{m_printButton, u"printButton"_s},
                                                                {m_pdfButton, u"pdfButton"_s},
                                                                {m_closeButton, u"closeButton"_s}}};
    for (const auto& [button, name] : named) {
        button->setObjectName(name);
        button->setFixedHeight(34);
        button->setMinimumWidth(130);
    }
    buttons->addWidget(m_printButton);
    buttons->addWidget(m_pdfButton);
    m_savedLabel->setObjectName(u"savedLabel"_s);
    m_savedLabel->hide();
    buttons->addWidget(m_savedLabel, 1);
    buttons->addWidget(m_closeButton);
    layout->addLayout(buttons);

    connect(m_printButton, &PillButton::clicked, this, &ReportViewController::print);
    connect(m_pdfButton, &PillButton::clicked, this, &ReportViewController::pdf);
    connect(m_closeButton, &PillButton::clicked, this, [this] { window()->close(); });
    connect(m_preview, &ReportPreview::ready, this, [this](const QString& path) {
        const bool shown = m_pane->showPdf(path);
        setButtonsEnabled(shown);
        emit reportShown(shown);
    });
    connect(m_preview, &ReportPreview::failed, this, [this](const QString& reason) {
        m_pane->showFailure(reason);
        setButtonsEnabled(false);
        emit reportShown(false);
    });
    setButtonsEnabled(false);
}

void ReportViewController::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Every appearance shows a new report; one that only comes back from being minimized does not.
    if (!event->spontaneous())
        renderReport();
}

void ReportViewController::renderReport()
{
    setButtonsEnabled(false);
    m_pane->showRendering();
    m_preview->renderResult(m_shredResult, m_keeper.options());
}

void ReportViewController::setButtonsEnabled(bool enabled)
{
    m_printButton->setEnabled(enabled);
    m_pdfButton->setEnabled(enabled);
}

void ReportViewController::print()
{
    auto* printer = new QPrinter(QPrinter::HighResolution);
    printer->setPageOrientation(QPageLayout::Portrait);
    auto* dialog = new QPrintDialog(printer, this);
    dialog->setObjectName(u"printPanel"_s);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QObject::destroyed, this, [printer] { delete printer; });
    connect(dialog, &QDialog::accepted, this, [this, printer] {
        if (!printTo(*printer))
            logLine("The report could not be printed");
    });
    dialog->open();
}

bool ReportViewController::printTo(QPrinter& printer)
{
    printer.setPageOrientation(QPageLayout::Portrait);
    return ReportPrinter::print(*m_pane->document(), printer);
}

void ReportViewController::pdf()
{
    auto* dialog = new QFileDialog(this, tr("Save as PDF"));
    dialog->setObjectName(u"savePanel"_s);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setFileMode(QFileDialog::AnyFile);
    dialog->setNameFilter(tr("PDF files (*.pdf)"));
    dialog->setDefaultSuffix(u"pdf"_s);
    dialog->selectFile(u"deletionReport.pdf"_s);
    connect(dialog, &QFileDialog::fileSelected, this, &ReportViewController::savePdfAs);
    dialog->open();
}

QString ReportViewController::pdfFilePath(const QString& path)
{
    return path.endsWith(u".pdf"_s, Qt::CaseInsensitive) ? path : path + u".pdf"_s;
}

bool ReportViewController::savePdfAs(const QString& path)
{
    const QString destination = pdfFilePath(path);
    if (m_preview->savePdf(destination)) {
        // The user sees that, and where, it was saved.
        m_savedLabel->setText(tr("Saved as %1").arg(QFileInfo(destination).fileName()));
        m_savedLabel->setToolTip(destination);
        m_savedLabel->show();
        return true;
    }
    (new WarningAlert(tr("failed to save file"), destination, {tr("Ok")}, this))->open();
    return false;
}

} // namespace cv
