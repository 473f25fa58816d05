#pragma once

#include <QDate>
#include <QObject>
#include <QString>

#include <string>

namespace cv {

class SettingsManager;

// The application's start-up steps: the settings store, the daily diagnostic log file, the
// privileged helper's installation; and the hand-over of files the desktop asks the application
// to open.
class AppDelegate : public QObject
{
    Q_OBJECT

public:
    explicit AppDelegate(SettingsManager& settings, QObject* parent = nullptr);

    // At launch, on the GUI thread: with diagnosis on, standard error goes to the daily log file;
    // then the helper is installed or updated (which returns at once).
    void applicationDidFinishLaunching();

    // Reopens standard error in append mode onto "<report folder>/logs/yyyy-MM-dd.log" and logs
    // "App Startup" as the first line of this run. False when the file could not be opened
    // (standard error then stays where it was).
    static bool redirectLogToDocuments(const QString& reportFolder, const QDate& date = QDate::currentDate());
    // "<report folder>/logs/yyyy-MM-dd.log".
    static QString logFilePath(const QString& reportFolder, const QDate& date);

    // A file opened with the application (path as bytes); goes to the file intake. Always true.
    bool openFile(const std::string& path);

private:
    SettingsManager& m_settings;
};

} // namespace cv
