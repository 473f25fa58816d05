#include "system/LoginItem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>

using namespace Qt::StringLiterals;

namespace cv {

LoginItem::LoginItem(QString program) : m_program(std::move(program)) {}

QString LoginItem::entryPath()
{
    // GenericConfigLocation follows $XDG_CONFIG_HOME (an absolute one), else ~/.config.
    const QString config = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    return QDir(config).filePath(u"autostart/"_s + kIdentifier.toString() + u".desktop"_s);
}

bool LoginItem::isEnabled() const
{
    return QFileInfo::exists(entryPath());
}

QString LoginItem::quoteExecArgument(const QString& path)
{
    QString escaped = path;
    escaped.replace(u'%', u"%%"_s);
    static const QString reserved = u" \t\n\"'\\><~|&;$*?#()`"_s;
    const bool needsQuotes =
        std::any_of(escaped.begin(), escaped.end(), [](QChar c) { return reserved.contains(c); });
    if (!needsQuotes)
        return escaped;
    QString quoted;
    for (QChar c : escaped) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    // Inside a desktop file's string value a backslash is itself escaped once more.
    quoted.replace(u"\\"_s, u"\\\\"_s);
    return u'"' + quoted + u'"';
}

QByteArray LoginItem::entryText(const QString& program)
{
    QString text = u"[Desktop Entry]\n"
                   u"Type=Application\n"
                   u"Name=Cindervault\n"
                   u"Icon=com.Ostrevane.CindervaultForMac\n"
                   u"Exec="_s +
                   quoteExecArgument(program) +
                   u"\n"
                   u"X-GNOME-Autostart-enabled=true\n"
                   u"Hidden=false\n"_s;
    return text.toUtf8();
}

bool LoginItem::setEnabled(bool enabled)
{
    const QString path = entryPath();
    if (!enabled)
        return !QFileInfo::exists(path) || QFile::remove(path);
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(entryText(m_program));
    return file.commit();
}

} // namespace cv
