#pragma once

#include <QDBusConnection>
#include <QObject>

#include <string>
#include <vector>

namespace cv {

class SystemService;

// The running application on the session bus: one instance per user session. It owns the bus name
// com.Ostrevane.CindervaultForMac and answers org.freedesktop.Application (Activate; Open with
// file URLs, as opened with the application) and com.Ostrevane.CindervaultForMac.Services
// (Erase with paths as bytes, the file manager's "Shred with Cindervault"). A second start finds
// the name taken, forwards its files and ends.
class ApplicationBus : public QObject
{
    Q_OBJECT

public:
    static constexpr const char* kServiceName = "com.Ostrevane.CindervaultForMac";
    static constexpr const char* kObjectPath = "/com/Ostrevane/CindervaultForMac";
    static constexpr const char* kServicesInterface = "com.Ostrevane.CindervaultForMac.Services";

    enum class Registration
    {
        Registered,      // this process is the instance
        AnotherInstance, // the name belongs to a running instance
        NoBus            // no session bus: the process runs on its own
    };

    ApplicationBus(SystemService& intake, const QDBusConnection& bus = QDBusConnection::sessionBus(),
                   QObject* parent = nullptr);
    ~ApplicationBus() override;

    // Exports the object, then claims the name (never queued behind another owner).
    Registration registerInstance();

    // What a second start hands to the running instance: files opened with the application
    // (Open) or to shred (Erase); with neither it only activates the instance. False when the call
    // could not be delivered.
    static bool forwardOpen(const QDBusConnection& bus, const std::vector<std::string>& paths);
    static bool forwardErase(const QDBusConnection& bus, const std::vector<std::string>& paths);
    static bool forwardActivate(const QDBusConnection& bus);
    // The desktop entry's action "Shred the Trash", handed to the running instance.
    static bool forwardShredTrash(const QDBusConnection& bus);
    static constexpr const char* kShredTrashAction = "ShredTrash";

    // The bus calls, on the GUI thread.
    void activate();
    void open(const QStringList& uris);
    void erase(const std::vector<std::string>& paths);
    void shredTrash();

signals:
    // The window is to come to the front.
    void activateRequested();
    // Files came: the window is to come to the front on the shred screen.
    void filesReceived();
    // The Trash is to be shredded: the temporary-data screen with only the Trash chosen.
    void shredTrashRequested();

private:
    SystemService& m_intake;
    QDBusConnection m_bus;
    bool m_registered = false;
};

} // namespace cv
