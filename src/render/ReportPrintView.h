#pragma once

#include <QObject>
#include <QPageLayout>
#include <QSize>
#include <QString>
#include <QUrl>
#include <QVariant>

#include <functional>
#include <memory>

class QWebEngineProfile;
class QWebEngineView;

namespace cv {

// One off-screen web view that lays out a report at the report width and prints it, with a
// profile of its own, so that its web engine renderer is a process of its own: two of them lay
// out and print side by side. The report's own scripts are off and nothing is fetched from the
// network; the printer's scripts run in a world of their own.
class ReportPrintView : public QObject
{
    Q_OBJECT

public:
    // The width reports are laid out at (1098 pixels make 823.5 points).
    static constexpr QSize kViewSize{1098, 1200};

    explicit ReportPrintView(QObject* parent = nullptr);
    ~ReportPrintView() override;

    // Loads a document given as text (with the URL relative references resolve against) or,
    // when url is a file, that file; loaded follows.
    void load(const QString& html, const QUrl& baseUrl);
    void load(const QUrl& url);

    // Runs script in the printer's world; answer gets its value, unless this view is gone.
    void run(const QString& script, std::function<void(const QVariant&)> answer);
    // Prints the current document; answer gets the PDF file's bytes (empty on failure).
    void print(const QPageLayout& layout, std::function<void(const QByteArray&)> answer);

signals:
    void loaded(bool ok);
    // The web engine's renderer process ended while this view needed it.
    void failed(const QString& why);

private:
    QWebEngineProfile* m_profile; // child of this; outlives m_view
    std::unique_ptr<QWebEngineView> m_view;
};

} // namespace cv
