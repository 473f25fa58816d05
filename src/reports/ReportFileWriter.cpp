#include "reports/ReportFileWriter.h"

#include "common/Log.h"
#include "common/PrivateFile.h"
#include "common/SecureRandom.h"
#include "common/UniqueFd.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

std::string errorText(int error)
{
    return std::strerror(error);
}

bool writeAll(int fd, const QByteArray& data)
{
    const char* next = data.constData();
    qsizetype left = data.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, next, static_cast<std::size_t>(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        next += written;
        left -= written;
    }
    return true;
}

// How a finished temporary file gets its final name without replacing anything.
enum class Publish
{
    Done,
    Taken,
    Unsupported,
    Failed
};

Publish renameNoReplace(int dirFd, const std::string& from, const std::string& to)
{
    if (::renameat2(dirFd, from.c_str(), dirFd, to.c_str(), RENAME_NOREPLACE) == 0)
        return Publish::Done;
    if (errno == EEXIST)
        return Publish::Taken;
    if (errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)
        return Publish::Unsupported;
    return Publish::Failed;
}

// For file systems without RENAME_NOREPLACE: a hard link fails when the name exists.
Publish linkNoReplace(int dirFd, const std::string& from, const std::string& to)
{
    if (::linkat(dirFd, from.c_str(), dirFd, to.c_str(), 0) == 0) {
        ::unlinkat(dirFd, from.c_str(), 0);
        return Publish::Done;
    }
    if (errno == EEXIST)
        return Publish::Taken;
    if (errno == EPERM || errno == ENOSYS || errno == EOPNOTSUPP)
        return Publish::Unsupported;
    return Publish::Failed;
}

// For file systems without hard links (vfat): claim the name with an exclusive create, then move
// the finished file over our own claim.
Publish claimThenRename(int dirFd, const std::string& from, const std::string& to)
{
    const UniqueFd claim(::openat(dirFd, to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                                  PrivateFile::kFileMode));
    if (!claim)
        return errno == EEXIST ? Publish::Taken : Publish::Failed;
    if (::renameat(dirFd, from.c_str(), dirFd, to.c_str()) == 0)
        return Publish::Done;
    const int error = errno;
    ::unlinkat(dirFd, to.c_str(), 0);
    errno = error;
    return Publish::Failed;
}

} // namespace

QString ReportFileWriter::fileBaseName(const QDateTime& end)
{
    const QDateTime local = end.toLocalTime();
    const int hour = local.time().hour() % 12;
    return kPrefix.toString() + local.toString(u"yyyy_MM_dd_"_s) +
           QString::number(hour == 0 ? 12 : hour).rightJustified(2, u'0') + u'-' + local.toString(u"mm"_s) +
           u'-' + QString::number(local.time().second());
}

bool ReportFileWriter::ensureFolder(const QString& folder)
{
    const auto made = PrivateFile::createFolders(QFile::encodeName(folder).toStdString());
    if (made)
        return true;
    logMessage("Error: Create folder failed ", folder.toStdString(), " (", made.error(), ")");
    return false;
}

std::optional<QString> ReportFileWriter::writeNewFile(const QString& folder, const QString& baseName,
                                                      const QString& extension, const QByteArray& data)
{
    const std::string folderBytes = QFile::encodeName(folder).toStdString();
    const UniqueFd dirFd(::open(folderBytes.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!dirFd) {
        logMessage("Report could not be saved: cannot open folder ", folderBytes, ": ", errorText(errno));
        return std::nullopt;
    }

    // The temporary name is hidden and does not begin with the report prefix, so the report list
    // never shows it.
    std::string temporary;
    UniqueFd file;
    for (int attempt = 0; attempt < 16 && !file; ++attempt) {
        temporary = ".report-" + SecureRandom::alphanumeric(12) + ".tmp";
        file.reset(::openat(dirFd.get(), temporary.c_str(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, PrivateFile::kFileMode));
        if (!file && errno != EEXIST)
            break;
    }
    if (!file) {
        logMessage("Report could not be saved in ", folderBytes, ": ", errorText(errno));
        return std::nullopt;
    }
    const bool written = writeAll(file.get(), data) && ::fsync(file.get()) == 0;
    const int writeError = errno;
    if (file.reset() != 0 || !written) {
        logMessage("Report could not be written in ", folderBytes, ": ",
                   errorText(written ? errno : writeError));
        ::unlinkat(dirFd.get(), temporary.c_str(), 0);
        return std::nullopt;
    }

    Publish (*publish)(int, const std::string&, const std::string&) = renameNoReplace;
    const std::string base = QFile::encodeName(baseName).toStdString();
    const std::string suffix = "." + QFile::encodeName(extension).toStdString();
    for (int number = 1; number <= kMaxSuffix; ++number) {
        const std::string name = number == 1 ? base + suffix : base + "_" + std::to_string(number) + suffix;
        Publish outcome = publish(dirFd.get(), temporary, name);
        while (outcome == Publish::Unsupported && publish != claimThenRename) {
            publish = publish == renameNoReplace ? linkNoReplace : claimThenRename;
            outcome = publish(dirFd.get(), temporary, name);
        }
        if (outcome == Publish::Done) {
            ::fsync(dirFd.get());
            return QDir(folder).filePath(QFile::decodeName(QByteArray::fromStdString(name)));
        }
        if (outcome != Publish::Taken) {
            logMessage("Report could not be saved as ", folderBytes, "/", name, ": ", errorText(errno));
            break;
        }
        if (number == kMaxSuffix)
            logMessage("Report could not be saved: every name for ", base, " is taken in ", folderBytes);
    }
    if (::unlinkat(dirFd.get(), temporary.c_str(), 0) != 0)
        logMessage("Temporary report file could not be removed: ", folderBytes, "/", temporary);
    return std::nullopt;
}

} // namespace cv
