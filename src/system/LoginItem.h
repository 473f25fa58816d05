#pragma once

#include <QString>
#include <QStringView>

namespace cv {

// Start at login: the XDG autostart entry "com.Ostrevane.CindervaultForMac.AutoStart.desktop" in
// the user's autostart folder ($XDG_CONFIG_HOME/autostart, else ~/.config/autostart). Enabling
// writes the entry (replacing it whole, never half-written); disabling removes it. The desktop's
// session manager starts the program from it at the next login.
class LoginItem
{
public:
    static constexpr QStringView kIdentifier = u"com.Ostrevane.CindervaultForMac.AutoStart";

    // program: the executable the entry starts.
    explicit LoginItem(QString program);

    // The entry's path for the current environment.
    static QString entryPath();
    bool isEnabled() const;
    // True when the entry is in place (enable) or gone (disable) afterwards.
    bool setEnabled(bool enabled);

    // The entry's text; the program's path quoted as desktop entries need it.
    static QByteArray entryText(const QString& program);
    // A path as one argument of an Exec line: quoted when it holds anything but plain characters,
    // with the reserved characters escaped, and "%" doubled.
    static QString quoteExecArgument(const QString& path);

private:
    QString m_program;
};

} // namespace cv
