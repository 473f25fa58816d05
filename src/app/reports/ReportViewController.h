#pragma once

#include "engine/ShredResult.h"

#include <QWidget>

#include <memory>

class QPrinter;

class QLabel;

namespace cv {

class PillButton;
class ReportPdfPane;
class ReportKeeper;
class ReportPreview;

// The report of the job just finished, made afresh each time the view is shown (a new report ID
// and QR code; nothing is saved in the report folder), with Print, Save as PDF and Close.
class ReportViewController : public QWidget
{
    Q_OBJECT

public:
    // Fresh reports are made with the report options keeper tells at the time.
    explicit ReportViewController(const ReportKeeper& keeper, QWidget* parent = nullptr);

    void setShredResult(std::shared_ptr<const ShredResult> result) { m_shredResult = std::move(result); }
    const std::shared_ptr<const ShredResult>& shredResult() const { return m_shredResult; }
    ReportPreview* preview() const { return m_preview; }
    ReportPdfPane* pane() const { return m_pane; }

    // Makes the report of shredResult() anew and shows it.
    void renderReport();
    // Print: the desktop's print dialog, portrait.
    void print();
    // Prints the report shown on printer; false when there is none or the printer fails.
    bool printTo(QPrinter& printer);
    // Save as PDF: a save dialog for PDF files.
    void pdf();
    // Writes the report shown as a PDF file at path (".pdf" added when it has another ending);
    // tells the user when that fails.
    bool savePdfAs(const QString& path);
    // ".pdf" added to a path that does not end in it.
    static QString pdfFilePath(const QString& path);

signals:
    // The report is shown (ok) or could not be made.
    void reportShown(bool ok);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setButtonsEnabled(bool enabled);

    const ReportKeeper& m_keeper;
    std::shared_ptr<const ShredResult> m_shredResult;
    ReportPreview* m_preview;
    ReportPdfPane* m_pane;
    PillButton* m_printButton;
    PillButton* m_pdfButton;
    PillButton* m_closeButton;
    QLabel* m_savedLabel; // where the PDF went, once saved
};

} // namespace cv
