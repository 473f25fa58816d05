// The settings window: the PIN dialog and the lock, what each pane writes and who reads it, start
// at login, reset, the Updates and Help panes' states, the dashboard's facts, the language of
// reports, and the English texts of the notices.
#include "AppTestMain.h"
#include "ShredScreenHarness.h"

#include "ProcessRunner.h"
#include "app/AppServices.h"
#include "app/Palette.h"
#include "app/ReportKeeper.h"
#include "app/dashboard/DashboardFacts.h"
#include "app/dashboard/DashboardViewController.h"
#include "app/dialogs/ResetSettingsDialog.h"
#include "app/dialogs/SettingsPassword.h"
#include "app/reports/ReportPreview.h"
#include "app/settings/ReportSigningControls.h"
#include "app/settings/SettingsDeletion.h"
#include "app/settings/SettingsGeneral.h"
#include "app/settings/SettingsHelp.h"
#include "app/settings/SettingsUpdate.h"
#include "app/settings/SettingsWindowController.h"
#include "common/Localization.h"
#include "engine/Algorithm.h"
#include "engine/ShredResult.h"
#include "reports/ReportSettings.h"
#include "reports/ReportSigningKey.h"
#include "settings/NotificationManager.h"
#include "settings/SupportMessageSender.h"
#include "system/LoginItem.h"
#include "targets/PathCollection.h"
#include "translations/AppTranslator.h"
#include "updates/UpdateScheduler.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDBusConnection>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTabWidget>
#include <QToolButton>
#include <sys/stat.h>

using namespace Qt::StringLiterals;

namespace cv::test {

namespace {

// A settings store of its own and a notification manager on no bus (every notice fails, which
// notificationFailed() tells).
struct Store
{
    TempDir dir;
    SettingsManager settings{QString::fromStdString(dir / "settings.ini")};
    NotificationManager notifications{settings, QDBusConnection(u"no-bus"_s)};
};

template <typename Widget = QWidget> Widget* part(QWidget* parent, const char* name)
{
    auto* found = parent->findChild<Widget*>(QLatin1StringView(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void type(SettingsPassword& dialog, const QString& pin)
{
    for (int i = 0; i < pin.size(); ++i)
        QTest::keyClicks(dialog.field(i), pin.mid(i, 1));
}

QString fields(SettingsPassword& dialog)
{
    return dialog.getPinFromTextFields();
}

} // namespace

TEST(PinDialog, SetConfirmUnlockPasteAndRemove)
{
    Store s;
    QSignalSpy notices(&s.notifications, &NotificationManager::notificationFailed);
    {
        // No PIN: set one; a differing confirmation keeps the first entry and starts over in
        // empty fields, the focus in the first, as after a wrong unlock PIN.
        SettingsPassword dialog(s.settings, &s.notifications, nullptr);
        dialog.setAttribute(Qt::WA_DeleteOnClose, false);
        dialog.show();
        EXPECT_EQ(dialog.entry().mode(), PinEntry::Mode::SetPin);
        EXPECT_EQ(part<QLabel>(&dialog, "titleLabel")->text(), dialog.tr("set_password"));
        EXPECT_TRUE(part(&dialog, "errorLabel")->isHidden());
        EXPECT_TRUE(part(&dialog, "changeView")->isHidden());
        type(dialog, u"1234"_s);
        EXPECT_EQ(dialog.entry().processState(), 2);
        EXPECT_EQ(fields(dialog), QString()) << "fields emptied for the confirmation";
        EXPECT_EQ(part<QLabel>(&dialog, "titleLabel")->text(), dialog.tr("reenter_new_password"));
        type(dialog, u"1235"_s);
        EXPECT_FALSE(part(&dialog, "errorLabel")->isHidden());
        EXPECT_EQ(fields(dialog), QString()) << "a differing confirmation is emptied";
        EXPECT_EQ(dialog.focusWidget(), dialog.field(0)) << "the next try starts in the first field";
        EXPECT_FALSE(s.settings.isPinSet());
        EXPECT_EQ(dialog.entry().processState(), 2) << "the first entry stays";
        // Typed again from the first box: checked against the first entry once more.
        QTest::keyClick(dialog.focusWidget(), Qt::Key_1);
        QTest::keyClick(dialog.focusWidget(), Qt::Key_2);
        QTest::keyClick(dialog.focusWidget(), Qt::Key_3);
        QTest::keyClick(dialog.focusWidget(), Qt::Key_4);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(s.settings.isPinSet());
        EXPECT_TRUE(s.settings.isAuthed());
        EXPECT_EQ(notices.size(), 1) << "the PIN notice was asked for";
    }
    s.settings.lockView();
    {
        // Locked: a wrong PIN empties the fields; a second character is dropped; a pasted PIN
        // fills all four fields and is checked at once, as if its last digit had been typed.
        SettingsPassword dialog(s.settings, &s.notifications, nullptr);
        dialog.setAttribute(Qt::WA_DeleteOnClose, false);
        dialog.show();
        EXPECT_EQ(dialog.entry().mode(), PinEntry::Mode::Unlock);
        EXPECT_EQ(part<QLabel>(&dialog, "titleLabel")->text(), dialog.tr("enter_password"));
        type(dialog, u"9999"_s);
        EXPECT_FALSE(part(&dialog, "errorLabel")->isHidden());
        EXPECT_EQ(fields(dialog), QString());
        EXPECT_TRUE(s.settings.isLocked());
        QTest::keyClicks(dialog.field(0), u"12"_s);
        EXPECT_EQ(dialog.field(0)->text(), u"1"_s);
        EXPECT_EQ(dialog.field(1)->text(), QString());
        dialog.field(0)->clear();
        dialog.field(1)->insert(u"1239"_s);
        EXPECT_EQ(fields(dialog), QString()) << "a wrong pasted PIN is checked and emptied at once";
        EXPECT_EQ(dialog.focusWidget(), dialog.field(0)) << "the next try starts in the first field";
        dialog.field(1)->insert(u"1234"_s);
        EXPECT_FALSE(s.settings.isLocked()) << "a pasted PIN unlocks without a further key";
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    {
        // Setting a PIN by pasting it twice: the paste goes on to the confirmation, and the
        // confirmation's paste stores it.
        Store pasted;
        SettingsPassword dialog(pasted.settings, nullptr, nullptr);
        dialog.setAttribute(Qt::WA_DeleteOnClose, false);
        dialog.show();
        dialog.field(0)->insert(u"4711"_s);
        EXPECT_EQ(dialog.entry().processState(), 2);
        EXPECT_EQ(dialog.focusWidget(), dialog.field(0));
        dialog.field(0)->insert(u"4711"_s);
        EXPECT_TRUE(pasted.settings.isPinSet());
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    {
        // The PIN set above is the one that unlocks (only its hash is stored).
        s.settings.lockView();
        SettingsPassword dialog(s.settings, &s.notifications, nullptr);
        dialog.setAttribute(Qt::WA_DeleteOnClose, false);
        dialog.show();
        type(dialog, u"1235"_s);
        EXPECT_TRUE(s.settings.isLocked());
        type(dialog, u"1234"_s);
        EXPECT_FALSE(s.settings.isLocked());
    }
    {
        // Unlocked with a PIN: the change view removes it; authorisation stays.
        SettingsPassword dialog(s.settings, &s.notifications, nullptr);
        dialog.setAttribute(Qt::WA_DeleteOnClose, false);
        dialog.show();
        EXPECT_EQ(dialog.entry().mode(), PinEntry::Mode::Change);
        EXPECT_TRUE(part(&dialog, "pinView")->isHidden());
        // Removing the PIN is never the default: Return chooses to set a new one.
        EXPECT_FALSE(part<QPushButton>(&dialog, "removePinButton")->isDefault());
        EXPECT_FALSE(part<QPushButton>(&dialog, "removePinButton")->autoDefault());
        EXPECT_TRUE(part<QPushButton>(&dialog, "newPinButton")->isDefault());
        auto* remove = part<QPushButton>(&dialog, "removePinButton");
        remove->setFocus();
        QTest::keyClick(remove, Qt::Key_Return);
        EXPECT_TRUE(s.settings.isPinSet()) << "Return with the focus on Remove PIN";
        EXPECT_EQ(dialog.entry().mode(), PinEntry::Mode::SetPin);
    }
    {
        SettingsPassword dialog(s.settings, &s.notifications, nullptr);
        dialog.setAttribute(Qt::WA_DeleteOnClose, false);
        dialog.show();
        part<QPushButton>(&dialog, "removePinButton")->click();
        EXPECT_FALSE(s.settings.isPinSet());
        EXPECT_FALSE(s.settings.isLocked());
    }
    {
        // canNotCancel: no cancel button, and the right PIN closes without unlocking.
        s.settings.setPin(u"0000"_s);
        s.settings.lockView();
        SettingsPassword dialog(s.settings, &s.notifications, nullptr, true);
        dialog.setAttribute(Qt::WA_DeleteOnClose, false);
        dialog.show();
        EXPECT_TRUE(part(&dialog, "cancelButton")->isHidden());
        type(dialog, u"0000"_s);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_TRUE(s.settings.isLocked());
    }
}

TEST(PinDialog, FiveWrongPinsMakeTheNextTryWait)
{
    Store s;
    s.settings.setPin(u"2468"_s);
    s.settings.lockView();
    SettingsPassword dialog(s.settings, &s.notifications, nullptr);
    dialog.setAttribute(Qt::WA_DeleteOnClose, false);
    dialog.show();
    auto* error = part<QLabel>(&dialog, "errorLabel");
    for (int i = 1; i <= 4; ++i) {
        type(dialog, u"0000"_s);
        EXPECT_TRUE(dialog.field(0)->isEnabled()) << i;
        EXPECT_EQ(error->text(), dialog.tr("Wrong PIN. Please try again.")) << i;
    }
    type(dialog, u"0000"_s);
    EXPECT_FALSE(dialog.field(0)->isEnabled()) << "the fifth wrong PIN: the fields wait";
    EXPECT_TRUE(error->text().contains(u"30"_s)) << error->text().toStdString();
    // The wait counts down.
    EXPECT_TRUE(QTest::qWaitFor([&] { return error->text().contains(u"29"_s); }, 10000))
        << error->text().toStdString();
    // Even the right PIN is not taken while the delay runs.
    EXPECT_EQ(s.settings.checkPin(u"2468"_s).outcome, SettingsManager::PinCheck::Outcome::TooEarly);
    EXPECT_TRUE(s.settings.isLocked());
    // The pane still says what the PIN protects.
    SettingsGeneral general(s.settings, &s.notifications, u"/usr/bin/cindervault"_s);
    bool said = false;
    for (const QLabel* label : general.findChildren<QLabel*>())
        said = said || label->text().contains(u"it does not protect your files or reports"_s);
    EXPECT_TRUE(said);
}

namespace {

// Every control the lock covers, by pane.
const char* const kLockedControls[] = {
    "languageOption",
    "autorunSwitch",
    "passwordButton",
    "resetButton", // General
    "enableNotifications",
    "enableSound",
    "dismissAutomaticaly",
    "dismissOptions", // Notifications
    "defaultMethodSelection",
    "reportFormatSelection",
    "reportFolder",
    "chooseReportFolder",
    "autoSaveReports",
    "showSignature",
    "capFileCount",
    "showQRReports",
    "showSecurityPrompt",
    "verifyLastPass",
    "importSigningKey",
    "newSigningKey", // Deletion
    "updateTimes",
    "checkForUpdates",
    "autoUpdate",
    "manualCheck", // Updates
};

} // namespace

TEST(SettingsWindow, LockButtonPanesAndClosing)
{
    Store s;
    UpdateScheduler updates(s.settings, s.notifications);
    updates.setFeed(ServiceEndpoints::updateFeedFrom(u"https://updates.example.com/appcast.xml"_s));
    SupportMessageSender support;
    support.setEndpoint(ServiceEndpoints::supportServiceFrom(u"https://support.example.com"_s));
    s.settings.setPin(u"2468"_s);
    SettingsWindowController::Services services{&s.notifications, &updates, &support,
                                                u"/usr/bin/cindervault"_s};
    auto* window = new SettingsWindowController(s.settings, services);
    QPointer<SettingsWindowController> alive(window);
    window->show();

    // Locked: every control the lock covers is disabled; the diagnostic switch and Help are not.
    EXPECT_TRUE(window->lockButton()->property("locked").toBool());
    for (const char* name : kLockedControls)
        EXPECT_FALSE(part(window, name)->isEnabled()) << name;
    EXPECT_TRUE(part(window, "diagnoseSwitch")->isEnabled());
    EXPECT_TRUE(part(window, "nameField")->isEnabled());

    // The lock button asks for the PIN; the right one enables everything ("AuthChanged").
    window->lockButton()->click();
    auto* dialog = window->findChild<SettingsPassword*>();
    ASSERT_NE(dialog, nullptr);
    type(*dialog, u"2468"_s);
    EXPECT_FALSE(s.settings.isLocked());
    EXPECT_FALSE(window->lockButton()->property("locked").toBool());
    for (const char* name : kLockedControls) {
        if (std::string_view(name) == "enableSound" || std::string_view(name) == "dismissAutomaticaly" ||
            std::string_view(name) == "dismissOptions")
            continue; // they follow the notifications switch too
        EXPECT_TRUE(part(window, name)->isEnabled()) << name;
    }
    EXPECT_EQ(part<QPushButton>(window, "passwordButton")->text(),
              QCoreApplication::translate("cv::SettingsGeneral", "change_password"));

    // Unlocked with a PIN: the lock button locks at once, without a dialog.
    QApplication::processEvents();
    window->lockButton()->click();
    EXPECT_TRUE(s.settings.isLocked());
    EXPECT_EQ(window->findChildren<SettingsPassword*>().size(), 0);
    EXPECT_FALSE(part(window, "languageOption")->isEnabled());

    // Closing the window locks again.
    s.settings.setAuthed();
    window->close();
    EXPECT_TRUE(s.settings.isLocked());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(alive.isNull()) << "the window goes when closed";
}

TEST(SettingsWindow, PanesWriteTheirKeys)
{
    Store s;
    SettingsWindowController::Services services{&s.notifications, nullptr, nullptr,
                                                u"/usr/bin/cindervault"_s};
    SettingsWindowController window(s.settings, services);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();

    // Deletion: method identifier, format as Base64 text, folder, the six switches.
    auto* method = part<QComboBox>(&window, "defaultMethodSelection");
    const auto index = static_cast<int>(AlgorithmCollection().getIndexForIdentifier(13));
    method->setCurrentIndex(index);
    emit method->activated(index);
    EXPECT_EQ(s.settings.integerForKey(SettingsManager::kSettingsDeletionDefaultMethod), 13);
    auto* format = part<QComboBox>(&window, "reportFormatSelection");
    format->setCurrentIndex(1);
    emit format->activated(1);
    EXPECT_EQ(s.settings.getReportFormat(), u"HTML"_s);
    EXPECT_NE(s.settings.objectForKey(SettingsManager::kSettingsDeletionReportFormat).toString(), u"HTML"_s);
    window.findChild<SettingsDeletion*>()->reportFolderChosen(u"/tmp/elsewhere"_s);
    EXPECT_EQ(s.settings.getReportPath(), u"/tmp/elsewhere"_s);
    EXPECT_EQ(part<QLineEdit>(&window, "reportFolder")->text(), u"/tmp/elsewhere"_s);
    const std::pair<const char*, QStringView> switches[] = {
        {"autoSaveReports", SettingsManager::kSettingsDeletionReportAutoSave},
        {"showSignature", SettingsManager::kSettingsDeletionReportShowSignature},
        {"capFileCount", SettingsManager::kSettingsDeletionReportShouldCapFiles},
        {"showQRReports", SettingsManager::kSettingsDeletionReportShowQrCode},
        {"showSecurityPrompt", SettingsManager::kSettingsDeletionShowPrompt},
        {"verifyLastPass", SettingsManager::kSettingsDeletionVerifyLastPass}};
    EXPECT_FALSE(part<QCheckBox>(&window, "verifyLastPass")->isChecked()) << "reading back is off by default";
    EXPECT_FALSE(s.settings.verifiesLastPass());
    for (const auto& [name, key] : switches) {
        auto* box = part<QCheckBox>(&window, name);
        const bool before = box->isChecked();
        box->click();
        EXPECT_EQ(s.settings.boolForKey(key, before), !before) << name;
    }
    EXPECT_TRUE(s.settings.shouldCapFilesInReport());
    EXPECT_FALSE(s.settings.showSecurityPrompts());
    EXPECT_TRUE(s.settings.verifiesLastPass());

    // Notifications: off stores false and disables the three that depend on it; the interval
    // stores seconds.
    auto* enable = part<QCheckBox>(&window, "enableNotifications");
    enable->click();
    EXPECT_FALSE(s.settings.isNotificationsEnabeled());
    EXPECT_FALSE(part(&window, "enableSound")->isEnabled());
    EXPECT_FALSE(part(&window, "dismissOptions")->isEnabled());
    enable->click();
    EXPECT_TRUE(part(&window, "dismissOptions")->isEnabled());
    auto* interval = part<QComboBox>(&window, "dismissOptions");
    interval->setCurrentIndex(3);
    emit interval->activated(3);
    EXPECT_EQ(s.settings.getDissmissInterval(), 1800);

    // General: language and diagnosis.
    auto* language = part<QComboBox>(&window, "languageOption");
    language->setCurrentIndex(1);
    emit language->activated(1);
    EXPECT_EQ(s.settings.getCurrentLanguage(), u"de"_s);
    part<QCheckBox>(&window, "diagnoseSwitch")->click();
    EXPECT_TRUE(s.settings.isDiagnoseSet());
}

// The signing key in the Deletion pane, on a key folder of the test's own: a new key names the
// user and company of the report settings; the exported certificate is the one openssl reads; an
// organisation's PKCS#12 (made by openssl) replaces the key only with the right password and only
// when it holds a key, the key file staying the user's alone.
TEST(SettingsWindow, SigningKeyNewExportAndPkcs12Import)
{
    Store s;
    const std::string keys = s.dir / "data/report-signing";
    const QString keyFolder = QString::fromStdString(keys);
    ReportSigningControls controls(s.settings, keyFolder);
    auto* fingerprint = part<QLabel>(&controls, "signingFingerprint");
    auto* message = part<QLabel>(&controls, "signingMessage");
    const auto keyBytes = [&] {
        QFile file(QString::fromStdString(keys + "/key.pem"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    };
    const auto ownFingerprint = [&] {
        const auto key = ReportSigningKey::load(keyFolder);
        EXPECT_TRUE(key) << (key ? "" : key.error().toStdString());
        return key ? key->fingerprint() : QString();
    };
    const auto openssl = [](const std::vector<std::string>& arguments) {
        std::vector<std::string> argv{"openssl"};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        const auto result = runProcess(argv);
        EXPECT_EQ(result.exitCode, 0) << result.err;
        return result.out;
    };
    EXPECT_FALSE(part<QPushButton>(&controls, "exportCertificate")->isEnabled()) << "nothing to export yet";

    // New key, after the question: it names the user and company of the report settings.
    s.settings.setString(u"Erika Mustermann"_s, ReportSettings::kSettingsReportUserName);
    s.settings.setString(u"Beispiel GmbH"_s, ReportSettings::kSettingsReportUserCompany);
    part<QPushButton>(&controls, "newSigningKey")->click();
    auto* question = part<QMessageBox>(&controls, "newKeyQuestion");
    ASSERT_NE(question, nullptr);
    question->button(QMessageBox::Yes)->click();
    const QString own = ownFingerprint();
    ASSERT_FALSE(own.isEmpty());
    EXPECT_EQ(ReportSigningKey::load(keyFolder)->holderName(), u"Erika Mustermann, Beispiel GmbH"_s);
    EXPECT_TRUE(fingerprint->text().contains(own)) << fingerprint->text().toStdString();

    // Export: openssl reads the same certificate.
    const std::string exported = s.dir / "exported.pem";
    controls.exportTo(QString::fromStdString(exported));
    EXPECT_NE(openssl({"x509", "-in", exported, "-noout", "-fingerprint", "-sha256"})
                  .find("Fingerprint=" + own.toStdString()),
              std::string::npos);

    // An organisation's key and certificate, and a PKCS#12 of the certificate alone.
    const std::string orgKey = s.dir / "org.key", orgCertificate = s.dir / "org.crt",
                      bundle = s.dir / "org.p12", certificateOnly = s.dir / "certificate-only.p12";
    openssl({"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:P-256", "-nodes", "-keyout",
             orgKey, "-out", orgCertificate, "-subj", "/CN=Records Office/O=Muster AG", "-days", "30"});
    openssl({"pkcs12", "-export", "-inkey", orgKey, "-in", orgCertificate, "-out", bundle, "-passout",
             "pass:geheim"});
    openssl({"pkcs12", "-export", "-nokeys", "-in", orgCertificate, "-out", certificateOnly, "-passout",
             "pass:geheim"});
    const QByteArray before = keyBytes();
    for (const auto& [file, password] : {std::pair{bundle, "falsch"}, std::pair{certificateOnly, "geheim"}}) {
        SCOPED_TRACE(file);
        message->clear();
        controls.importFrom(QString::fromStdString(file), QString::fromLatin1(password));
        EXPECT_EQ(keyBytes(), before) << "nothing replaced";
        EXPECT_TRUE(message->text().startsWith(u"The key was not imported: "_s))
            << message->text().toStdString();
        EXPECT_TRUE(fingerprint->text().contains(own));
    }
    controls.importFrom(QString::fromStdString(bundle), u"geheim"_s);
    const auto organisation = ReportSigningKey::fingerprintOfFile(QString::fromStdString(orgCertificate));
    ASSERT_TRUE(organisation);
    EXPECT_EQ(ownFingerprint(), *organisation);
    EXPECT_TRUE(fingerprint->text().contains(*organisation));
    EXPECT_EQ(message->text(), u"The key of Records Office, Muster AG was imported."_s);
    struct stat info = {};
    ASSERT_EQ(::lstat((keys + "/key.pem").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0600u);
    EXPECT_NE(keyBytes(), before);
}

TEST(SettingsWindow, StartAtLoginWritesAndRemovesTheAutostartEntry)
{
    Store s;
    const QString program = u"/opt/Cinder Vault/bin/cindervault$1"_s;
    SettingsGeneral general(s.settings, &s.notifications, program);
    const QString entry = LoginItem::entryPath();
    EXPECT_TRUE(entry.startsWith(QString::fromStdString(appTestHome()) + u"/config/autostart/"_s))
        << entry.toStdString();
    EXPECT_TRUE(entry.endsWith(u"/com.Ostrevane.CindervaultForMac.AutoStart.desktop"_s));
    EXPECT_FALSE(QFile::exists(entry));

    part<QCheckBox>(&general, "autorunSwitch")->click();
    EXPECT_TRUE(s.settings.boolForKey(SettingsManager::kEnableAutostart));
    QFile file(entry);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.startsWith(u"[Desktop Entry]\n"_s));
    EXPECT_TRUE(text.contains(u"\nExec=\"/opt/Cinder Vault/bin/cindervault\\\\$1\"\n"_s))
        << text.toStdString();
    file.close();

    part<QCheckBox>(&general, "autorunSwitch")->click();
    EXPECT_FALSE(s.settings.boolForKey(SettingsManager::kEnableAutostart));
    EXPECT_FALSE(QFile::exists(entry));
}

TEST(SettingsWindow, ResetAsksFirstThenClearsEverything)
{
    Store s;
    s.settings.setPin(u"1111"_s);
    s.settings.setAuthed();
    s.settings.setBool(true, SettingsManager::kSettingsGeneralDiagnose);
    SettingsWindowController::Services services{&s.notifications, nullptr, nullptr,
                                                u"/usr/bin/cindervault"_s};
    SettingsWindowController window(s.settings, services);
    window.setAttribute(Qt::WA_DeleteOnClose, false);
    window.show();
    auto* diagnose = part<QCheckBox>(&window, "diagnoseSwitch");
    EXPECT_TRUE(diagnose->isChecked());

    part<QPushButton>(&window, "resetButton")->click();
    auto* question = window.findChild<ResetSettingsDialog*>();
    ASSERT_NE(question, nullptr);
    question->reject();
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(s.settings.isPinSet()) << "cancelled: nothing changes";
    EXPECT_TRUE(s.settings.isDiagnoseSet());

    part<QPushButton>(&window, "resetButton")->click();
    question = window.findChild<ResetSettingsDialog*>();
    ASSERT_NE(question, nullptr);
    part<QAbstractButton>(question, "resetConfirm")->click();
    EXPECT_FALSE(s.settings.isPinSet());
    EXPECT_FALSE(s.settings.isLocked());
    EXPECT_FALSE(s.settings.isDiagnoseSet());
    EXPECT_FALSE(diagnose->isChecked()) << "the panes show the defaults again";
    EXPECT_EQ(part<QPushButton>(&window, "passwordButton")->text(),
              QCoreApplication::translate("cv::SettingsGeneral", "set_password"));
}

TEST(SettingsWindow, ShredScreensFollowTheDeletionPane)
{
    // The window's own shred screens read the shared store.
    auto& shared = SettingsManager::sharedManager();
    shared.setInteger(0, SettingsManager::kSettingsDeletionDefaultMethod);
    ShredScreenHarness h;
    h.window.showSettings();
    SettingsWindowController* settings = h.window.settingsWindow();
    ASSERT_NE(settings, nullptr);
    h.window.showSettings();
    EXPECT_EQ(h.window.findChildren<SettingsWindowController*>().size(), 1) << "one instance";

    auto* method = part<QComboBox>(settings, "defaultMethodSelection");
    const int random = ShredScreenHarness::randomMethod();
    method->setCurrentIndex(random);
    emit method->activated(random);
    EXPECT_EQ(h.selectedMethod(), random) << "the open screen follows at once";
    h.window.showFreshShredScreen(VolumeOption::None);
    h.screen = qobject_cast<DropFilesViewController*>(h.window.shredTab()->current());
    EXPECT_EQ(h.selectedMethod(), random) << "and so does a fresh one";
    h.selectMethod(3);
    emit h.part<QComboBox>("methodSelection")->activated(3);
    emit method->activated(0);
    EXPECT_EQ(h.selectedMethod(), 3) << "a method the user chose on the screen stays";

    // "PINP" follows a PIN set or removed in the settings.
    shared.setPin(u"1357"_s);
    EXPECT_TRUE(shared.boolForKey(SettingsManager::kPinp));
    shared.setPin(QString());
    EXPECT_FALSE(shared.boolForKey(SettingsManager::kPinp));
    settings->close();
    shared.reset();
}

TEST(SettingsWindow, TheLanguageAppliesToReportsAtOnce)
{
    // The window runs with its English tables; the General pane switches to German while it runs,
    // and the next report, saved or shown, is wholly German, numbers included.
    Store s;
    TempDir reports;
    s.settings.setString(QString::fromStdString(reports.path()),
                         SettingsManager::kSettingsDeletionReportLocation);
    s.settings.setString(u"HTML"_s, SettingsManager::kSettingsDeletionReportFormat);
    auto result = std::make_shared<ShredResult>();
    result->end = ShredResult::Clock::now();
    result->start = result->end - std::chrono::seconds(5);
    result->algorithm = std::make_shared<Algorithm>(16, 1, " 1 Runde: Zufallswerte", "");
    result->options = std::make_shared<ShredOptions>();
    result->paths = std::make_shared<PathCollection>();
    ShredItem notes;
    notes.path = "/data/notes.txt";
    notes.fileSize = 932;
    notes.success = true;
    notes.state = ShredItem::State::Deleted;
    result->history.push_back(notes);
    result->fileCountTotal = 1234;
    result->bytesCountTotal = 2'800'000;
    ReportKeeper keeper(s.settings);
    const auto savedReport = [&] {
        std::optional<ReportOutcome> outcome;
        keeper.createReport(result, [&](const ReportOutcome& made) { outcome = made; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return outcome.has_value(); }, 60000));
        QFile file(outcome ? outcome->path : QString());
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };
    SettingsGeneral general(s.settings, &s.notifications, u"/usr/bin/cindervault"_s);
    auto* language = part<QComboBox>(&general, "languageOption");

    language->setCurrentIndex(1);
    emit language->activated(1);
    const QString german = savedReport();
    EXPECT_TRUE(german.contains(u"<html lang=\"de\">"_s));
    EXPECT_TRUE(german.contains(u"1 Runde: Zufallswerte"_s));
    EXPECT_TRUE(german.contains(u"2,8 MB"_s)) << "German decimal comma";
    EXPECT_TRUE(german.contains(u"<td>932 Byte</td>"_s));
    EXPECT_TRUE(german.contains(u"1.234 Datei(en)"_s));
    // The report window's report too.
    ReportPreview preview;
    QSignalSpy ready(&preview, &ReportPreview::ready);
    preview.renderResult(result, keeper.options());
    ASSERT_TRUE(ready.wait(60000)) << preview.failure().toStdString();
    const std::string shown = runProcess({"pdftotext", preview.pdfPath().toStdString(), "-"}).out;
    EXPECT_NE(shown.find("Löschprotokoll"), std::string::npos) << shown;
    EXPECT_NE(shown.find("2,8 MB"), std::string::npos) << shown;

    language->setCurrentIndex(0);
    emit language->activated(0);
    const QString english = savedReport();
    EXPECT_TRUE(english.contains(u"<html lang=\"en\">"_s));
    EXPECT_TRUE(english.contains(u"1 pass: random data"_s));
    EXPECT_TRUE(english.contains(u"2.8 MB"_s));
    EXPECT_TRUE(english.contains(u"<td>932 bytes</td>"_s));
    EXPECT_TRUE(english.contains(u"1,234 File(s)"_s));
}

TEST(SettingsWindow, UpdatesAndHelpPanes)
{
    Store s;
    {
        // No feed: the pane says why and offers nothing.
        UpdateScheduler updates(s.settings, s.notifications);
        updates.setFeed(ServiceEndpoints::updateFeedFrom(QString()));
        SettingsUpdate pane(s.settings, &updates);
        EXPECT_FALSE(part(&pane, "manualCheck")->isEnabled());
        EXPECT_FALSE(part(&pane, "checkForUpdates")->isEnabled());
        EXPECT_FALSE(part<QLabel>(&pane, "updateStatus")->text().isEmpty());
    }
    {
        // The services' texts are made at start-up, before the tables load; the panes of a German
        // window still speak German.
        UpdateScheduler updates(s.settings, s.notifications);
        updates.setFeed(ServiceEndpoints::updateFeedFrom(QString()));
        SupportMessageSender support;
        support.setEndpoint(ServiceEndpoints::supportServiceFrom(QString()));
        AppTranslator::install(*qApp, u"de"_s);
        const auto english = qScopeGuard([] { AppTranslator::install(*qApp, u"en"_s); });
        SettingsUpdate pane(s.settings, &updates);
        EXPECT_TRUE(part<QLabel>(&pane, "updateStatus")->text().contains(u"nicht eingerichtet"_s))
            << part<QLabel>(&pane, "updateStatus")->text().toStdString();
        SettingsHelp help(s.settings, &support);
        EXPECT_TRUE(part<QLabel>(&help, "helpStatus")->text().contains(u"nicht eingerichtet"_s))
            << part<QLabel>(&help, "helpStatus")->text().toStdString();
    }
    {
        UpdateScheduler updates(s.settings, s.notifications);
        updates.setFeed(ServiceEndpoints::updateFeedFrom(u"https://updates.example.com/appcast.xml"_s));
        SettingsUpdate pane(s.settings, &updates);
        EXPECT_TRUE(part(&pane, "manualCheck")->isEnabled());
        part<QCheckBox>(&pane, "checkForUpdates")->click();
        EXPECT_TRUE(updates.checksAutomatically());
        part<QCheckBox>(&pane, "autoUpdate")->click();
        EXPECT_TRUE(updates.downloadsAutomatically());
        auto* interval = part<QComboBox>(&pane, "updateTimes");
        interval->setCurrentIndex(2);
        emit interval->activated(2);
        EXPECT_EQ(updates.checkInterval(), UpdateScheduler::kIntervalOptions[2].seconds);

        UpdateCheckResult found;
        found.outcome = UpdateCheckResult::Outcome::UpdateAvailable;
        found.newest.version = u"1.10"_s;
        found.newest.releaseNotesLink = QUrl(u"https://example.com/notes?a=1&b=2"_s);
        const QString text = SettingsUpdate::resultText(found);
        EXPECT_TRUE(text.contains(u"1.10"_s));
        EXPECT_TRUE(text.contains(u"href=\"https://example.com/notes?a=1&amp;b=2\""_s)) << text.toStdString();
    }
    {
        // Help: the borders follow validation; Send needs both fields valid and a service.
        SupportMessageSender sender;
        sender.setEndpoint(ServiceEndpoints::supportServiceFrom(u"https://support.example.com"_s));
        SettingsHelp pane(s.settings, &sender);
        auto* name = part<QLineEdit>(&pane, "nameField");
        auto* email = part<QLineEdit>(&pane, "emailField");
        auto* send = part<QPushButton>(&pane, "sendButton");
        EXPECT_TRUE(part<QLineEdit>(&pane, "subjectField")->text().startsWith(u"Rendmark Mac 2® - "_s));
        // Before Send the pane shows every field that goes out, what is sent along included.
        auto* preview = part<QPlainTextEdit>(&pane, "sendPreview");
        EXPECT_TRUE(preview->isReadOnly());
        part<QPlainTextEdit>(&pane, "messageField")->setPlainText(u"My question"_s);
        const SupportMessage outgoing = pane.model()->outgoingMessage();
        EXPECT_FALSE(outgoing.osVersion.isEmpty());
        for (const auto& [key, value] : SupportMessageSender::formFields(outgoing))
            EXPECT_TRUE(preview->toPlainText().contains(key + u':')) << key.toStdString();
        for (const QString& shown :
             {u"My question"_s, u"OS Version: "_s + outgoing.osVersion,
              u"Model Identifier: "_s + outgoing.modelIdentifier, u"system-info: "_s + outgoing.osVersion,
              u"https://support.example.com"_s})
            EXPECT_TRUE(preview->toPlainText().contains(shown)) << shown.toStdString() << " is not shown in\n"
                                                                << preview->toPlainText().toStdString();
        name->setText(u"   "_s);
        email->setText(u"Someone@Example.com"_s);
        EXPECT_TRUE(name->styleSheet().contains(Palette::css(Palette::failure())));
        // The form's green, as dark as an outline needs to be seen on the desktop's palette.
        EXPECT_TRUE(email->styleSheet().contains(
            Palette::css(Palette::onSurface(QColor(143, 202, 67), Palette::kOutlineContrast))));
        EXPECT_FALSE(send->isEnabled());
        name->setText(u"Jo"_s);
        EXPECT_TRUE(send->isEnabled());
        email->setText(u"jo@localhost"_s);
        EXPECT_FALSE(send->isEnabled());
    }
    {
        // A refused connection: Send is off while the message is on its way, then the error sheet.
        ServiceEndpoints::setLoopbackHttpAllowed(true);
        SupportMessageSender sender;
        sender.setEndpoint(ServiceEndpoints::supportServiceFrom(u"http://127.0.0.1:9"_s));
        SettingsHelp pane(s.settings, &sender);
        part<QLineEdit>(&pane, "nameField")->setText(u"Jo"_s);
        part<QLineEdit>(&pane, "emailField")->setText(u"jo@example.com"_s);
        auto* send = part<QPushButton>(&pane, "sendButton");
        QSignalSpy finished(&sender, &SupportMessageSender::finished);
        send->click();
        EXPECT_FALSE(send->isEnabled());
        ASSERT_TRUE(finished.wait(10000));
        EXPECT_FALSE(finished.first().at(0).toBool());
        EXPECT_TRUE(send->isEnabled());
        EXPECT_NE(pane.findChild<QMessageBox*>(u"supportError"_s), nullptr);
        ServiceEndpoints::setLoopbackHttpAllowed(false);
    }
}

TEST(Dashboard, CapacityTextsAndMachineImage)
{
    DashboardFacts facts;
    facts.totalBytes = 500'000'000'000;
    facts.freeBytes = 200'000'000'000;
    facts.serialNumber = u"-"_s;
    facts.laptop = DashboardFacts::isLaptop(u"10\n"_s, QString());
    EXPECT_EQ(facts.capTotal(), u"In total: 500 GB"_s);
    EXPECT_EQ(facts.capUsed(), u"300 GB used"_s);
    EXPECT_EQ(facts.capAvailable(), u"200 GB available"_s);
    EXPECT_EQ(facts.usedPerMille(), 600);
    DashboardViewController view(facts);
    EXPECT_EQ(part<QLabel>(&view, "capTotal")->text(), u"In total: 500 GB"_s);
    EXPECT_EQ(part<QLabel>(&view, "serialNumber")->text(), u"-"_s);
    EXPECT_EQ(part(&view, "machineImage")->property("imageName").toString(), u":/images/laptop.svg"_s);
    EXPECT_TRUE(part(&view, "model")->isHidden()) << "no heading of a lone dash for an unknown model";
    for (const QString& unknown : {u"-"_s, u"\u2013"_s, u" "_s}) {
        facts.model = unknown;
        DashboardViewController unknownModel(facts);
        EXPECT_TRUE(part(&unknownModel, "model")->isHidden()) << unknown.toStdString();
    }
    facts.model = u"ThinkPad X1 Carbon"_s;
    DashboardViewController known(facts);
    EXPECT_FALSE(part(&known, "model")->isHidden());
    EXPECT_EQ(part<QLabel>(&known, "model")->text(), u"ThinkPad X1 Carbon"_s);

    for (const char* type : {"8", "9", "14"})
        EXPECT_TRUE(DashboardFacts::isLaptop(QString::fromLatin1(type), QString())) << type;
    EXPECT_TRUE(DashboardFacts::isLaptop(QString(), u"MacBookPro11,3"_s));
    EXPECT_FALSE(DashboardFacts::isLaptop(u"3"_s, u"iMac14,2"_s));
    EXPECT_FALSE(DashboardFacts::isLaptop(QString(), QString()));
    EXPECT_FALSE(DashboardFacts::isLaptop(u"garbage"_s, u"macbook"_s)) << "the prefix is case-sensitive";

    // An empty volume does not divide by zero.
    EXPECT_EQ(DashboardFacts().usedPerMille(), 0);
}

TEST(Notices, EnglishTablesSpellEveryNoticeProperly)
{
    // Keys stay as they are; the window's English table (installed as the window installs it) and
    // the engine's hook answer them in proper English that names the product Cindervault.
    const std::pair<const char*, QString> notices[] = {
        {"Protecetd", u"Protected"_s},
        {"Rendmark Mac 2 is now secured with a pin", u"Cindervault is now secured with a PIN"_s},
        {"The freespace has been completly overwritten", u"The free space has been completely overwritten"_s},
        {"The volume has been completly erased", u"The volume has been completely erased"_s},
        {"The deletion of %ld file(s) with %ld errors has been finished",
         u"The deletion of %ld file(s) has finished with %ld error(s)"_s},
        {"Notification are now enabled", u"Notifications are now enabled"_s},
        {"Notification are now disabled", u"Notifications are now disabled"_s},
        {"close", u"Close"_s},
    };
    for (const auto& [key, english] : notices) {
        SCOPED_TRACE(key);
        EXPECT_EQ(QCoreApplication::translate(AppTranslator::kSharedContext, key), english)
            << "English table";
        EXPECT_EQ(QString::fromStdString(localized(key)), english) << "the engine's hook";
    }
    EXPECT_EQ(QCoreApplication::translate("cv::SnapshotQuestionDialog",
                                          "Snapshots take can take a lot of additional space."),
              u"Snapshots can take a lot of additional space."_s);
    EXPECT_EQ(
        QCoreApplication::translate("cv::ReportModulListViewController", "File with path %1 does not exists"),
        u"The file %1 does not exist."_s);
}

} // namespace cv::test
