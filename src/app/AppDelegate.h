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

    // At launch, on the GUI thread: with diagnosis on, standard error and the log lines go to the
    // daily log file; else the log lines go onto standard error when verbose, and nowhere when not
    // (standard error is for what the user must act on). Then the helper is installed or updated
    // (which returns at once).
    void applicationDidFinishLaunching(bool verbose = false);

    // Reopens standard error in append mode onto "<report folder>/logs/yyyy-MM-dd.log" and logs
    // "App Startup" as the first line of this run; the log lines go there from now on. False when
    // the file could not be opened: the log lines then go to standard error as it was.
    static bool redirectLogToDocuments(const QString& reportFolder, const QDate& date = QDate::currentDate());
    // "<report folder>/logs/yyyy-MM-dd.log".
    static QString logFilePath(const QString& reportFolder, const QDate& date);

    // A file opened with the application (path as bytes); goes to the file intake. Always true.
    bool openFile(const std::string& path);

private:
    SettingsManager& m_settings;
};

} // namespace cv
