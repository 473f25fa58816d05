#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QDialog;
class QLabel;
class QPushButton;

namespace cv {

class SettingsManager;

// The report signing key in the settings: the SHA-256 fingerprint of the user's certificate, and
// buttons to export the certificate (for recipients to trust), import an organisation's key and
// certificate (PKCS#12; its password is asked once and kept nowhere), and make a new key with the
// user's name and company of the report settings. The key work is ReportSigningKey's; a result or
// an error shows in a line below the buttons.
class ReportSigningControls : public QWidget
{
    Q_OBJECT

public:
    ReportSigningControls(SettingsManager& settings, QString keyFolder, QWidget* parent = nullptr);

    // Shows the fingerprint of the key in the folder now.
    void showKey();
    void setLocked(bool locked);

    // What the dialogs lead to.
    void exportTo(const QString& path);
    void importFrom(const QString& path, const QString& password);
    void makeNewKey();

    // The buttons' actions: a file dialog, the password, the question.
    void exportClicked();
    void importClicked();
    void newKeyClicked();

private:
    void askPassword(const QString& path);
    void showResult(const QString& text, bool failed);
    bool dialogOpen() const { return !m_dialog.isNull(); }

    SettingsManager& m_settings;
    QString m_keyFolder;
    QLabel* m_fingerprint;
    QLabel* m_message;
    QPushButton* m_export;
    QPushButton* m_import;
    QPushButton* m_newKey;
    QPointer<QDialog> m_dialog;
};

} // namespace cv
