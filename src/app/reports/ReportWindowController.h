#pragma once

#include "engine/ShredResult.h"

#include <QWidget>

#include <memory>

namespace cv {

class ReportKeeper;
class ReportViewController;
class SettingsManager;

// The window of the report viewer: it keeps the position and width the user gave it (in the
// settings) and takes the full height of the screen's available area when it opens, its frame
// included.
class ReportWindowController : public QWidget
{
    Q_OBJECT

public:
    static constexpr QStringView kXKey = u"ReportWindowX";
    static constexpr QStringView kWidthKey = u"ReportWindowWidth";
    static constexpr int kDefaultWidth = 900;
    static constexpr int kMinimumWidth = 500;

    // The window's place in settings; the report made with the options keeper tells.
    ReportWindowController(SettingsManager& settings, const ReportKeeper& keeper,
                           std::shared_ptr<const ShredResult> result, QWidget* parent = nullptr);

    ReportViewController* contentViewController() const { return m_content; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void windowDidLoad();

    SettingsManager& m_settings;
    ReportViewController* m_content;
};

} // namespace cv
