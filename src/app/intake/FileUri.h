#pragma once

#include <QString>

#include <string>
#include <vector>

class QByteArray;
class QMimeData;

namespace cv {

// File URLs of local paths, both ways, on the bytes of the names on disk: a name that is not valid
// UTF-8 survives drops, the application bus and the file manager. Used by the drop zone, the file
// intake and the explorer.
class FileUri
{
public:
    // A file URL of a path's own bytes, percent-encoded (slashes kept).
    static QString fromPath(const std::string& path);
    // The local paths of a text/uri-list, in order: percent escapes are decoded to bytes. Lines that
    // are comments or not file URLs of this machine are left out.
    static std::vector<std::string> pathsFromUriList(const QByteArray& uriList);
    // The local paths a drag carries (its uri-list, else its URLs).
    static std::vector<std::string> pathsFromMimeData(const QMimeData& data);
};

} // namespace cv
