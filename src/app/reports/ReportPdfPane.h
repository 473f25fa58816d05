#pragma once

#include <QWidget>

class QLabel;
class QPdfDocument;
class QPdfView;
class QStackedLayout;

namespace cv {

// Shows a rendered report: a line while it is being made or why it could not be, then the PDF at
// the width of the pane, scrolled vertically. The report windows share it.
class ReportPdfPane : public QWidget
{
    Q_OBJECT

public:
    explicit ReportPdfPane(QWidget* parent = nullptr);

    QPdfDocument* document() const { return m_document; }

    void showRendering();
    // Loads the PDF; false (and the reason shown) when it cannot be read.
    bool showPdf(const QString& path);
    void showFailure(const QString& reason);
    // A reason as the parts below say it ("the report renderer crashed") made a sentence of its
    // own for the window: a capital first letter and a full stop at the end.
    static QString sentence(const QString& reason);

private:
    QPdfDocument* m_document;
    QPdfView* m_view;
    QLabel* m_status;
    QStackedLayout* m_stack;
};

} // namespace cv
