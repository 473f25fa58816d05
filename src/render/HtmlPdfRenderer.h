#pragma once

#include <QByteArray>
#include <QObject>
#include <QSize>
#include <QString>
#include <QUrl>

#include <memory>

class QWebEngineView;

namespace cv {

class SinglePagePdfPrinter;

// Lays out one HTML document in an off-screen web view of the report's width and prints it as one
// single-page PDF (SinglePagePdfPrinter). The document is static: no script of its own runs and
// nothing is fetched from the network. Needs a QApplication (offscreen platform where there is no
// display). This is the work of the report renderer program, which runs it in a process of its
// own: the web engine may abort the process it runs in.
class HtmlPdfRenderer : public QObject
{
    Q_OBJECT

public:
    // The width reports are laid out at (1098 pixels make 823.5 points).
    static constexpr QSize kViewSize{1098, 1200};

    explicit HtmlPdfRenderer(QObject* parent = nullptr);
    ~HtmlPdfRenderer() override;

    // Loads the document at url (a local file) and prints it; finished follows once.
    void render(const QUrl& url);

signals:
    // The PDF file's bytes, or empty with the reason in error.
    void finished(const QByteArray& pdf, const QString& error);

private:
    void loaded(bool ok);
    void finish(const QByteArray& pdf, const QString& error);

    std::unique_ptr<QWebEngineView> m_view;
    SinglePagePdfPrinter* m_printer = nullptr; // child of this
    bool m_running = false;
    bool m_loaded = false;
};

} // namespace cv
