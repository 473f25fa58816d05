#pragma once

#include <QList>
#include <QString>
#include <QStringView>

#include <compare>
#include <optional>

namespace cv {

// A version number as an update feed writes it, compared part by part as numbers: 1.10 is newer
// than 1.9, and missing parts count as zero, so 1.0 and 1.0.0 are the same version. Parts may have
// any number of digits (no overflow: they are compared as digit strings).
//
// After the numbers a pre-release may follow, introduced by "-" or directly by a letter
// ("2.0-beta.2", "2.0b2", "2.0rc1"); it sorts before the release of the same numbers
// (2.0-beta < 2.0 < 2.0.1). Pre-releases of the same numbers compare by their identifiers (runs of
// letters or digits, split also at "." and "-"): digits as numbers, letters without regard to case,
// digits before letters, a shorter list before a longer one (beta2 < beta10 < rc1). Build data after
// "+" is ignored, and so is one leading "v". Anything else (an empty text, "latest", "1..2", "1.",
// blanks inside) is no version at all.
class AppcastVersion
{
public:
    static std::optional<AppcastVersion> parse(QStringView text);

    // The text the version was read from, trimmed.
    const QString& text() const { return m_text; }
    bool isPreRelease() const { return !m_preRelease.isEmpty(); }

    friend std::weak_ordering operator<=>(const AppcastVersion& a, const AppcastVersion& b)
    {
        return a.compare(b);
    }
    friend bool operator==(const AppcastVersion& a, const AppcastVersion& b) { return a.compare(b) == 0; }

private:
    AppcastVersion() = default;
    std::weak_ordering compare(const AppcastVersion& other) const;

    QString m_text;
    QList<QString> m_numbers;    // digit strings without leading zeros; trailing zero parts dropped
    QList<QString> m_preRelease; // identifiers, letters lower-cased
};

} // namespace cv
