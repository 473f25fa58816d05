#include "reports/PdfPageFitter.h"

#include <QRectF>
#include <QRegularExpression>
#include <QString>

#include <algorithm>
#include <vector>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// A page object: its number and generation and where its dictionary lies in the file.
struct PageObject
{
    QByteArray number;
    QByteArray generation;
    qsizetype dictStart = 0; // at "<<"
    qsizetype dictEnd = 0;   // just after the matching ">>"
};

const QRegularExpression& pageTypePattern()
{
    static const QRegularExpression pattern(u"/Type\\s*/Page(?![A-Za-z0-9])"_s);
    return pattern;
}

// The end (just after ">>") of the dictionary that begins at start ("<<"), or -1.
qsizetype dictionaryEnd(const QByteArray& pdf, qsizetype start)
{
    int depth = 0;
    qsizetype i = start;
    while (i < pdf.size()) {
        const char c = pdf[i];
        if (c == '(') {
            // A literal string: balanced parentheses, backslash escapes.
            int parens = 0;
            for (; i < pdf.size(); ++i) {
                if (pdf[i] == '\\') {
                    ++i;
                } else if (pdf[i] == '(') {
                    ++parens;
                } else if (pdf[i] == ')' && --parens == 0) {
                    break;
                }
            }
            ++i;
        } else if (c == '<' && i + 1 < pdf.size() && pdf[i + 1] == '<') {
            ++depth;
            i += 2;
        } else if (c == '>' && i + 1 < pdf.size() && pdf[i + 1] == '>') {
            i += 2;
            if (--depth == 0)
                return i;
        } else if (c == '<') {
            // A hex string.
            const qsizetype close = pdf.indexOf('>', i);
            if (close < 0)
                return -1;
            i = close + 1;
        } else {
            ++i;
        }
    }
    return -1;
}

std::vector<PageObject> findPages(const QByteArray& pdf)
{
    static const QRegularExpression objectHeader(u"(\\d+)\\s+(\\d+)\\s+obj\\s*<<"_s);
    const QString text = QString::fromLatin1(pdf);
    std::vector<PageObject> pages;
    auto matches = pageTypePattern().globalMatch(text);
    qsizetype searchedUpTo = -1;
    while (matches.hasNext()) {
        const auto match = matches.next();
        if (match.capturedStart() < searchedUpTo)
            continue;
        // The object that holds this /Type /Page is the last object header before it.
        const qsizetype objStart = text.lastIndexOf(u" obj"_s, match.capturedStart());
        if (objStart < 0)
            continue;
        qsizetype lineStart = objStart;
        while (lineStart > 0 && text[lineStart - 1] != u'\n' && text[lineStart - 1] != u'\r')
            --lineStart;
        const auto header = objectHeader.match(text, lineStart, QRegularExpression::NormalMatch,
                                               QRegularExpression::AnchorAtOffsetMatchOption);
        if (!header.hasMatch() || header.capturedEnd() > match.capturedStart())
            continue;
        PageObject page;
        page.number = header.captured(1).toLatin1();
        page.generation = header.captured(2).toLatin1();
        page.dictStart = header.capturedEnd() - 2;
        page.dictEnd = dictionaryEnd(pdf, page.dictStart);
        if (page.dictEnd < 0 || page.dictEnd < match.capturedEnd())
            continue;
        searchedUpTo = page.dictEnd;
        // An incremental update appends a new version of an object: the last one counts.
        const auto same = std::find_if(pages.begin(), pages.end(),
                                       [&](const PageObject& other) { return other.number == page.number; });
        if (same != pages.end())
            *same = page;
        else
            pages.push_back(page);
    }
    return pages;
}

std::optional<QRectF> mediaBox(const QString& dictionary)
{
    static const QRegularExpression pattern(
        u"/MediaBox\\s*\\[\\s*([-+.\\d]+)\\s+([-+.\\d]+)\\s+([-+.\\d]+)\\s+([-+.\\d]+)\\s*\\]"_s);
    const auto match = pattern.match(dictionary);
    if (!match.hasMatch())
        return std::nullopt;
    bool ok[4] = {};
    const double x0 = match.captured(1).toDouble(&ok[0]);
    const double y0 = match.captured(2).toDouble(&ok[1]);
    const double x1 = match.captured(3).toDouble(&ok[2]);
    const double y1 = match.captured(4).toDouble(&ok[3]);
    if (!(ok[0] && ok[1] && ok[2] && ok[3]))
        return std::nullopt;
    return QRectF(QPointF(x0, y0), QPointF(x1, y1)).normalized();
}

QByteArray number(double value)
{
    return QByteArray::number(value, 'f', 4);
}

QByteArray xrefEntry(qsizetype offset, const QByteArray& generation)
{
    // Exactly 20 bytes, as the format demands.
    return QByteArray::number(offset).rightJustified(10, '0') + ' ' + generation.rightJustified(5, '0') +
           " n \n";
}

QByteArray streamObject(int objectNumber, const QByteArray& content)
{
    return QByteArray::number(objectNumber) + " 0 obj\n<</Length " + QByteArray::number(content.size()) +
           ">> stream\n" + content + "\nendstream\nendobj\n";
}

} // namespace

int PdfPageFitter::pageCount(const QByteArray& pdf)
{
    return static_cast<int>(findPages(pdf).size());
}

std::optional<QSizeF> PdfPageFitter::pageSize(const QByteArray& pdf)
{
    const auto pages = findPages(pdf);
    if (pages.empty())
        return std::nullopt;
    const auto box = mediaBox(QString::fromLatin1(
        pdf.mid(pages.front().dictStart, pages.front().dictEnd - pages.front().dictStart)));
    if (!box)
        return std::nullopt;
    return box->size();
}

std::optional<QByteArray> PdfPageFitter::fitToHeight(const QByteArray& pdf, double maxHeight)
{
    const auto pages = findPages(pdf);
    if (pages.size() != 1 || maxHeight <= 0)
        return std::nullopt;
    const PageObject& page = pages.front();
    QString dictionary = QString::fromLatin1(pdf.mid(page.dictStart, page.dictEnd - page.dictStart));
    const auto box = mediaBox(dictionary);
    if (!box || box->height() <= 0)
        return std::nullopt;
    if (box->height() <= maxHeight)
        return pdf;
    const double scale = maxHeight / box->height();

    // The trailer of the last section: its size, root, info and id carry over to the new one.
    const QString tail = QString::fromLatin1(pdf.right(4096));
    static const QRegularExpression startxrefPattern(u"startxref\\s+(\\d+)\\s+%%EOF\\s*$"_s);
    static const QRegularExpression sizePattern(u"/Size\\s+(\\d+)"_s);
    static const QRegularExpression rootPattern(u"/Root\\s+(\\d+\\s+\\d+\\s+R)"_s);
    static const QRegularExpression infoPattern(u"/Info\\s+(\\d+\\s+\\d+\\s+R)"_s);
    static const QRegularExpression idPattern(u"/ID\\s*(\\[[^\\]]*\\])"_s);
    const auto startxref = startxrefPattern.match(tail);
    const qsizetype trailerAt = tail.lastIndexOf(u"trailer"_s);
    if (!startxref.hasMatch() || trailerAt < 0)
        return std::nullopt;
    const QString trailer = tail.mid(trailerAt);
    const auto size = sizePattern.match(trailer);
    const auto root = rootPattern.match(trailer);
    if (!size.hasMatch() || !root.hasMatch())
        return std::nullopt;
    const auto info = infoPattern.match(trailer);
    const auto id = idPattern.match(trailer);
    const int firstNew = size.captured(1).toInt();

    // The new page: the scaled media box, no other boxes or link areas (they would be in the old
    // coordinates), and its content between a scaling transform and its undoing.
    static const QRegularExpression boxPattern(
        u"/(MediaBox|CropBox|BleedBox|TrimBox|ArtBox)\\s*\\[[^\\]]*\\]"_s);
    static const QRegularExpression annotsPattern(u"/Annots\\s*(\\[[^\\]]*\\]|\\d+\\s+\\d+\\s+R)"_s);
    static const QRegularExpression contentsPattern(u"/Contents\\s*(\\[[^\\]]*\\]|\\d+\\s+\\d+\\s+R)"_s);
    const auto contents = contentsPattern.match(dictionary);
    if (!contents.hasMatch())
        return std::nullopt;
    QString oldContents = contents.captured(1);
    if (oldContents.startsWith(u'['))
        oldContents = oldContents.mid(1, oldContents.size() - 2).trimmed();
    const QString newContents = u"/Contents ["_s + QString::number(firstNew) + u" 0 R "_s + oldContents +
                                u' ' + QString::number(firstNew + 1) + u" 0 R]"_s;
    dictionary.replace(contents.capturedStart(), contents.capturedLength(), newContents);
    dictionary.remove(boxPattern);
    dictionary.remove(annotsPattern);
    const QByteArray newBox =
        "/MediaBox [0 0 " + number(box->width() * scale) + ' ' + number(maxHeight) + ']';
    dictionary.insert(2, QString::fromLatin1(newBox + '\n'));

    QByteArray out = pdf;
    if (!out.endsWith('\n'))
        out += '\n';
    const qsizetype pageOffset = out.size();
    out += page.number + ' ' + page.generation + " obj\n" + dictionary.toLatin1() + "\nendobj\n";
    const qsizetype beginOffset = out.size();
    // Move the page's lower left corner to the origin, then scale.
    out += streamObject(firstNew, "q " + number(scale) + " 0 0 " + number(scale) + ' ' +
                                      number(-box->left() * scale) + ' ' + number(-box->top() * scale) +
                                      " cm\n");
    const qsizetype endOffset = out.size();
    out += streamObject(firstNew + 1, "Q");
    const qsizetype xrefOffset = out.size();
    out += "xref\n" + page.number + " 1\n" + xrefEntry(pageOffset, page.generation);
    out += QByteArray::number(firstNew) + " 2\n" + xrefEntry(beginOffset, "0") + xrefEntry(endOffset, "0");
    out += "trailer\n<</Size " + QByteArray::number(firstNew + 2) + "\n/Root " + root.captured(1).toLatin1();
    if (info.hasMatch())
        out += "\n/Info " + info.captured(1).toLatin1();
    if (id.hasMatch())
        out += "\n/ID " + id.captured(1).toLatin1();
    out += "\n/Prev " + startxref.captured(1).toLatin1() + ">>\nstartxref\n" +
           QByteArray::number(xrefOffset) + "\n%%EOF\n";
    return out;
}

} // namespace cv
