#pragma once

#include <QUrl>
#include <QWidget>

namespace cv {

class ReportPdfPane;
class ReportPreview;

// The window that shows a saved HTML report, titled with the file's path. The report is laid out
// by the renderer program, as every report is, so no web engine runs in the window's process.
class ReportReviewViewController : public QWidget
{
    Q_OBJECT

public:
    explicit ReportReviewViewController(const QUrl& urlToOpen, QWidget* parent = nullptr);

    const QUrl& urlToOpen() const { return m_urlToOpen; }
    ReportPreview* preview() const { return m_preview; }
    ReportPdfPane* pane() const { return m_pane; }

private:
    QUrl m_urlToOpen;
    ReportPreview* m_preview;
    ReportPdfPane* m_pane;
};

} // namespace cv
