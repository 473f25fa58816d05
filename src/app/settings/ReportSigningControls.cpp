#include "app/settings/ReportSigningControls.h"

#include "app/Palette.h"
#include "reports/ReportSettings.h"
#include "reports/ReportSigningKey.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <cerrno>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace cv {

ReportSigningControls::ReportSigningControls(SettingsManager& settings, QString keyFolder, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_keyFolder(std::move(keyFolder))
{
    setObjectName(u"ReportSigningControls"_s);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_fingerprint = new QLabel(this);
    m_fingerprint->setObjectName(u"signingFingerprint"_s);
    m_fingerprint->setWordWrap(true);
    m_fingerprint->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_fingerprint);

    auto* buttons = new QHBoxLayout;
    m_export = new QPushButton(tr("Export certificate…"), this);
    m_export->setObjectName(u"exportCertificate"_s);
    m_import = new QPushButton(tr("Import…"), this);
    m_import->setObjectName(u"importSigningKey"_s);
    m_newKey = new QPushButton(tr("New key…"), this);
    m_newKey->setObjectName(u"newSigningKey"_s);
    for (QPushButton* button : {m_export, m_import, m_newKey})
        buttons->addWidget(button);
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(m_export, &QPushButton::clicked, this, &ReportSigningControls::exportClicked);
    connect(m_import, &QPushButton::clicked, this, &ReportSigningControls::importClicked);
    connect(m_newKey, &QPushButton::clicked, this, &ReportSigningControls::newKeyClicked);

    m_message = new QLabel(this);
    m_message->setObjectName(u"signingMessage"_s);
    m_message->setWordWrap(true);
    m_message->hide();
    layout->addWidget(m_message);
    showKey();
}

void ReportSigningControls::showKey()
{
    const QString certificate = m_keyFolder + u'/' + ReportSigningKey::kCertificateFileName.toString();
    struct stat info = {};
    if (::lstat(QFile::encodeName(certificate).constData(), &info) != 0 && errno == ENOENT) {
        m_fingerprint->setText(tr("No key yet: the first signed report makes one."));
        m_export->setEnabled(false);
        return;
    }
    const auto fingerprint = ReportSigningKey::fingerprintOfFile(certificate);
    m_fingerprint->setText(fingerprint ? u"SHA-256 "_s + *fingerprint
                                       : tr("The certificate cannot be read: %1").arg(fingerprint.error()));
    m_export->setEnabled(fingerprint.has_value() && m_import->isEnabled());
}

void ReportSigningControls::setLocked(bool locked)
{
    for (QPushButton* button : {m_export, m_import, m_newKey})
        button->setEnabled(!locked);
    if (!locked)
        showKey();
}

void ReportSigningControls::showResult(const QString& text, bool failed)
{
    QPalette palette = m_message->palette();
    palette.setColor(QPalette::WindowText, failed
                                               ? Palette::readable(Palette::failure(), Palette::background())
                                               : Palette::secondaryText());
    m_message->setPalette(palette);
    m_message->setText(text);
    m_message->show();
}

void ReportSigningControls::exportTo(const QString& path)
{
    if (path.isEmpty())
        return;
    if (const auto exported = ReportSigningKey::exportCertificate(m_keyFolder, path); !exported)
        showResult(tr("The certificate was not saved: %1").arg(exported.error()), true);
    else
        showResult(tr("The certificate was saved as %1.").arg(path), false);
}

void ReportSigningControls::importFrom(const QString& path, const QString& password)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        showResult(tr("The key was not imported: %1").arg(path + u": "_s + file.errorString()), true);
        return;
    }
    const auto imported = ReportSigningKey::importPkcs12(m_keyFolder, file.readAll(), password);
    if (!imported)
        showResult(tr("The key was not imported: %1").arg(imported.error()), true);
    else
        showResult(tr("The key of %1 was imported.").arg(imported->holderName()), false);
    showKey();
}

void ReportSigningControls::makeNewKey()
{
    const ReportOptions options = ReportSettings::options(m_settings);
    const auto made = ReportSigningKey::create(m_keyFolder, options.userName, options.userCompany);
    if (!made)
        showResult(tr("No new key could be made: %1").arg(made.error()), true);
    else
        showResult(tr("A new key was made."), false);
    showKey();
}

void ReportSigningControls::exportClicked()
{
    if (dialogOpen())
        return;
    auto* dialog = new QFileDialog(window(), tr("Export certificate"),
                                   QDir::home().filePath(u"cindervault-report-signing.pem"_s),
                                   tr("Certificates (*.pem)"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setAcceptMode(QFileDialog::AcceptSave);
    dialog->setDefaultSuffix(u"pem"_s);
    connect(dialog, &QFileDialog::fileSelected, this, &ReportSigningControls::exportTo);
    m_dialog = dialog;
    dialog->open();
}

void ReportSigningControls::importClicked()
{
    if (dialogOpen())
        return;
    auto* dialog = new QFileDialog(window(), tr("Import key and certificate"), QDir::homePath(),
                                   tr("PKCS#12 files (*.p12 *.pfx)"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setFileMode(QFileDialog::ExistingFile);
    connect(dialog, &QFileDialog::fileSelected, this, &ReportSigningControls::askPassword);
    m_dialog = dialog;
    dialog->open();
}

void ReportSigningControls::askPassword(const QString& path)
{
    // The password goes from the field to the import and nowhere else.
    auto* dialog = new QInputDialog(window());
    dialog->setObjectName(u"pkcs12Password"_s);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(tr("Import key and certificate"));
    dialog->setLabelText(tr("Password of %1:").arg(QFileInfo(path).fileName()));
    dialog->setTextEchoMode(QLineEdit::Password);
    connect(dialog, &QInputDialog::textValueSelected, this,
            [this, path](const QString& password) { importFrom(path, password); });
    m_dialog = dialog;
    dialog->open();
}

void ReportSigningControls::newKeyClicked()
{
    if (dialogOpen())
        return;
    auto* question =
        new QMessageBox(QMessageBox::Question, tr("Make a new key?"),
                        tr("Reports signed from now on carry the new key. Recipients who trust the present "
                           "certificate need the new one, and reports signed before show as signed by an "
                           "unknown key."),
                        QMessageBox::Yes | QMessageBox::Cancel, window());
    question->setObjectName(u"newKeyQuestion"_s);
    question->setAttribute(Qt::WA_DeleteOnClose);
    connect(question, &QMessageBox::buttonClicked, this, [this, question](QAbstractButton* button) {
        if (question->standardButton(button) == QMessageBox::Yes)
            makeNewKey();
    });
    m_dialog = question;
    question->open();
}

} // namespace cv
