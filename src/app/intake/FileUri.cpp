#include "app/intake/FileUri.h"

#include <QByteArray>
#include <QFile>
#include <QMimeData>
#include <QUrl>

using namespace Qt::StringLiterals;

namespace cv {

QString FileUri::fromPath(const std::string& path)
{
    return QString::fromLatin1("file://" + QByteArray::fromStdString(path).toPercentEncoding("/"));
}

std::vector<std::string> FileUri::pathsFromUriList(const QByteArray& uriList)
{
    std::vector<std::string> paths;
    for (QByteArray line : uriList.split('\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith('#'))
            continue;
        if (!line.toLower().startsWith("file://"))
            continue;
        QByteArray rest = line.mid(7);
        // file:///path, or file://localhost/path; another host's file is not ours to shred.
        const qsizetype slash = rest.indexOf('/');
        if (slash < 0)
            continue;
        const QByteArray host = rest.left(slash);
        if (!host.isEmpty() && host.toLower() != "localhost")
            continue;
        rest = rest.mid(slash);
        // A query or fragment is not part of a local path ("#" and "?" in names are escaped).
        const qsizetype end = rest.indexOf('?') >= 0 ? rest.indexOf('?') : rest.indexOf('#');
        if (end >= 0)
            rest.truncate(end);
        const QByteArray bytes = QByteArray::fromPercentEncoding(rest);
        if (bytes.isEmpty() || bytes.contains('\0'))
            continue;
        paths.emplace_back(bytes.constData(), static_cast<std::size_t>(bytes.size()));
    }
    return paths;
}

std::vector<std::string> FileUri::pathsFromMimeData(const QMimeData& data)
{
    if (data.hasFormat(u"text/uri-list"_s))
        return pathsFromUriList(data.data(u"text/uri-list"_s));
    std::vector<std::string> paths;
    for (const QUrl& url : data.urls()) {
        if (url.isLocalFile())
            paths.push_back(QFile::encodeName(url.toLocalFile()).toStdString());
    }
    return paths;
}

} // namespace cv
