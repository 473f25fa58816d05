#pragma once

#include <QWidget>

namespace cv {

// The small window shown while the application comes up. It closes itself as soon as it has
// appeared and, on its way out, opens the main window ("showApp").
class SplashViewController : public QWidget
{
    Q_OBJECT

public:
    explicit SplashViewController(QWidget* parent = nullptr);

signals:
    // "showApp": the main window is to be opened; emitted while the splash is still visible, so
    // the application never runs out of windows in between.
    void showApp();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_shownApp = false;
};

} // namespace cv
