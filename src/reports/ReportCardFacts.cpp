#include "reports/ReportCardFacts.h"

#include "reports/ReportFactory.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/xattr.h>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

constexpr const char* kStatus = "user.cindervault.status";
constexpr const char* kTarget = "user.cindervault.target";
constexpr const char* kMore = "user.cindervault.more";
// Far more than a status key, a file name (255 bytes) or a count need.
constexpr std::size_t kMaxValue = 4096;

std::optional<QByteArray> attribute(const QByteArray& path, const char* name)
{
    QByteArray value(kMaxValue, Qt::Uninitialized);
    const ssize_t length =
        ::getxattr(path.constData(), name, value.data(), static_cast<std::size_t>(value.size()));
    if (length < 0)
        return std::nullopt;
    value.truncate(length);
    return value;
}

} // namespace

ReportCardFacts ReportCardFacts::of(const ShredResult& result)
{
    ReportCardFacts facts;
    facts.statusKey = QString::fromLatin1(ReportFactory::statusKey(result));
    // The names the user chose: the job renames its targets before it deletes them.
    const std::vector<std::string>& targets =
        !result.targets.empty() || !result.paths ? result.targets : result.paths->paths();
    if (targets.empty())
        return facts;
    const QString first = QFile::decodeName(QByteArray::fromStdString(targets.front()));
    const QString name = first.section(u'/', -1, -1, QString::SectionSkipEmpty);
    facts.firstTarget = name.isEmpty() ? first : name;
    facts.more = static_cast<std::int64_t>(targets.size()) - 1;
    return facts;
}

bool ReportCardFacts::writeTo(const QString& path, QString* errnoText) const
{
    const QByteArray file = QFile::encodeName(path);
    const std::pair<const char*, QByteArray> values[] = {
        {kStatus, statusKey.toUtf8()}, {kTarget, firstTarget.toUtf8()}, {kMore, QByteArray::number(more)}};
    for (const auto& [name, value] : values) {
        if (::setxattr(file.constData(), name, value.constData(), static_cast<std::size_t>(value.size()),
                       0) != 0) {
            if (errnoText)
                *errnoText = QString::fromLocal8Bit(std::strerror(errno));
            return false;
        }
    }
    return true;
}

std::optional<ReportCardFacts> ReportCardFacts::readFrom(const QString& path)
{
    const QByteArray file = QFile::encodeName(path);
    const auto status = attribute(file, kStatus);
    const auto target = attribute(file, kTarget);
    const auto more = attribute(file, kMore);
    // Only a status the report's texts know: the card says it in the window's language.
    const char* key = status ? ReportFactory::knownStatusKey(QString::fromUtf8(*status)) : nullptr;
    if (!key)
        return std::nullopt;
    ReportCardFacts facts;
    facts.statusKey = QString::fromLatin1(key);
    facts.firstTarget = target ? QString::fromUtf8(*target) : QString();
    bool isNumber = false;
    const qlonglong count = more ? more->toLongLong(&isNumber) : 0;
    facts.more = isNumber && count > 0 ? count : 0;
    return facts;
}

} // namespace cv
