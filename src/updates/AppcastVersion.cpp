#include "updates/AppcastVersion.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

bool isAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

bool isAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

// Digit strings by their numeric value, however long they are.
std::weak_ordering compareNumbers(const QString& a, const QString& b)
{
    if (a.size() != b.size())
        return a.size() <=> b.size();
    const int order = a.compare(b);
    return order <=> 0;
}

QString withoutLeadingZeros(QStringView digits)
{
    qsizetype first = 0;
    while (first < digits.size() - 1 && digits[first] == u'0')
        ++first;
    return digits.mid(first).toString();
}

// "beta.10-x2" -> beta, 10, x, 2. False for a character outside letters, digits, "." and "-", or an
// empty identifier between separators.
bool splitPreRelease(QStringView text, QList<QString>& identifiers)
{
    QString current;
    bool lastWasSeparator = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'.' || c == u'-') {
            if (lastWasSeparator)
                return false;
            identifiers << current;
            current.clear();
            lastWasSeparator = true;
            continue;
        }
        if (!isAsciiDigit(c) && !isAsciiLetter(c))
            return false;
        if (!current.isEmpty() && isAsciiDigit(current.back()) != isAsciiDigit(c)) {
            identifiers << current;
            current.clear();
        }
        current += c.toLower();
        lastWasSeparator = false;
    }
    if (lastWasSeparator)
        return false;
    identifiers << current;
    for (QString& identifier : identifiers) {
        if (isAsciiDigit(identifier.front()))
            identifier = withoutLeadingZeros(identifier);
    }
    return true;
}

} // namespace

std::optional<AppcastVersion> AppcastVersion::parse(QStringView text)
{
    AppcastVersion version;
    version.m_text = text.trimmed().toString();
    QStringView rest = version.m_text;
    if (rest.startsWith(u'v') || rest.startsWith(u'V'))
        rest = rest.mid(1);
    if (const qsizetype plus = rest.indexOf(u'+'); plus >= 0)
        rest = rest.first(plus);

    // The numbers: digits, each run after the first introduced by a single dot.
    qsizetype i = 0;
    while (true) {
        const qsizetype start = i;
        while (i < rest.size() && isAsciiDigit(rest[i]))
            ++i;
        if (i == start)
            return std::nullopt; // empty text, a leading dot, "1..2", "1."
        version.m_numbers << withoutLeadingZeros(rest.mid(start, i - start));
        if (i < rest.size() && rest[i] == u'.' && i + 1 < rest.size() && isAsciiDigit(rest[i + 1])) {
            ++i;
            continue;
        }
        break;
    }
    while (version.m_numbers.size() > 1 && version.m_numbers.back() == u"0"_s)
        version.m_numbers.removeLast();

    // The pre-release, if anything follows.
    if (i < rest.size()) {
        QStringView preRelease = rest.mid(i);
        if (preRelease.front() == u'-')
            preRelease = preRelease.mid(1);
        else if (!isAsciiLetter(preRelease.front()))
            return std::nullopt;
        if (!splitPreRelease(preRelease, version.m_preRelease))
            return std::nullopt;
    }
    return version;
}

std::weak_ordering AppcastVersion::compare(const AppcastVersion& other) const
{
    const qsizetype parts = std::max(m_numbers.size(), other.m_numbers.size());
    for (qsizetype i = 0; i < parts; ++i) {
        const QString mine = i < m_numbers.size() ? m_numbers[i] : u"0"_s;
        const QString theirs = i < other.m_numbers.size() ? other.m_numbers[i] : u"0"_s;
        if (const auto order = compareNumbers(mine, theirs); order != 0)
            return order;
    }
    // Same numbers: the release is newer than any of its pre-releases.
    if (m_preRelease.isEmpty() != other.m_preRelease.isEmpty())
        return m_preRelease.isEmpty() ? std::weak_ordering::greater : std::weak_ordering::less;
    const qsizetype common = std::min(m_preRelease.size(), other.m_preRelease.size());
    for (qsizetype i = 0; i < common; ++i) {
        const QString& mine = m_preRelease[i];
        const QString& theirs = other.m_preRelease[i];
        const bool mineNumeric = isAsciiDigit(mine.front());
        const bool theirsNumeric = isAsciiDigit(theirs.front());
        std::weak_ordering order = std::weak_ordering::equivalent;
        if (mineNumeric && theirsNumeric)
            order = compareNumbers(mine, theirs);
        else if (mineNumeric != theirsNumeric)
            order = mineNumeric ? std::weak_ordering::less : std::weak_ordering::greater;
        else
            order = mine.compare(theirs) <=> 0;
        if (order != 0)
            return order;
    }
    return m_preRelease.size() <=> other.m_preRelease.size();
}

} // namespace cv
