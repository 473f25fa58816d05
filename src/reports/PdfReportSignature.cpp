#include "reports/PdfReportSignature.h"

#include "reports/ReportSignatureCheck.h"
#include "reports/ReportSigningKey.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <cctype>
#include <exception>
#include <memory>
#include <string>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// A byte range no written file reaches: its digits take the room the real range is written into.
constexpr char kRangePlaceholder[] = "[0 9999999999 9999999999 9999999999]";

// Where the placeholder byte range starts ("["), however the writer spaced it; -1 when absent.
qsizetype placeholderRange(const QByteArray& pdf)
{
    for (qsizetype at = pdf.indexOf("/ByteRange"); at >= 0; at = pdf.indexOf("/ByteRange", at + 1)) {
        const qsizetype open = pdf.indexOf('[', at);
        const qsizetype close = pdf.indexOf(']', open);
        if (open < 0 || close < 0 || close - open > 64)
            continue;
        if (pdf.mid(open, close + 1 - open).simplified().replace("[ ", "[").replace(" ]", "]") ==
            kRangePlaceholder)
            return open;
    }
    return -1;
}

std::unique_ptr<QPDF> readPdf(const QByteArray& pdf)
{
    auto document = std::make_unique<QPDF>();
    document->setSuppressWarnings(true);
    document->processMemoryFile("report", pdf.constData(), static_cast<size_t>(pdf.size()));
    return document;
}

// The signature dictionary, with placeholders for its byte range and contents.
QPDFObjectHandle signatureDictionary(QPDF& document, const ReportSigningKey& key)
{
    QPDFObjectHandle signature = QPDFObjectHandle::parse(
        std::string("<< /Type /Sig /Filter /Adobe.PPKLite /SubFilter /adbe.pkcs7.detached /ByteRange ") +
        kRangePlaceholder + " >>");
    // Bytes above 127 make qpdf write the string in hexadecimal, as /Contents must be.
    signature.replaceKey(
        "/Contents", QPDFObjectHandle::newString(std::string(PdfReportSignature::kSignatureRoom, '\xff')));
    signature.replaceKey(
        "/M", QPDFObjectHandle::newString(
                  QDateTime::currentDateTimeUtc().toString(u"'D:'yyyyMMddHHmmss'Z'"_s).toStdString()));
    signature.replaceKey("/Name", QPDFObjectHandle::newUnicodeString(key.holderName().toStdString()));
    return document.makeIndirectObject(signature);
}

// An invisible signature field on page whose value is signature, in the document's AcroForm.
void addSignatureField(QPDF& document, QPDFObjectHandle page, QPDFObjectHandle signature)
{
    QPDFObjectHandle field =
        QPDFObjectHandle::parse("<< /Type /Annot /Subtype /Widget /FT /Sig /F 132 /Rect [0 0 0 0] >>");
    field.replaceKey("/T", QPDFObjectHandle::newUnicodeString("Report signature"));
    field.replaceKey("/V", signature);
    field.replaceKey("/P", page);
    field = document.makeIndirectObject(field);

    QPDFObjectHandle annotations = page.getKey("/Annots");
    if (!annotations.isArray())
        annotations = QPDFObjectHandle::newArray();
    annotations.appendItem(field);
    page.replaceKey("/Annots", annotations);

    QPDFObjectHandle root = document.getRoot();
    QPDFObjectHandle form = root.getKey("/AcroForm");
    if (!form.isDictionary())
        form = document.makeIndirectObject(QPDFObjectHandle::newDictionary());
    QPDFObjectHandle fields = form.getKey("/Fields");
    if (!fields.isArray())
        fields = QPDFObjectHandle::newArray();
    fields.appendItem(field);
    form.replaceKey("/Fields", fields);
    form.replaceKey("/SigFlags", QPDFObjectHandle::newInteger(3));
    root.replaceKey("/AcroForm", form);
}

void addReportInfo(QPDF& document, const QString& reportId, const QString& contentDigest)
{
    QPDFObjectHandle trailer = document.getTrailer();
    QPDFObjectHandle info = trailer.getKey("/Info");
    if (!info.isDictionary()) {
        info = document.makeIndirectObject(QPDFObjectHandle::newDictionary());
        trailer.replaceKey("/Info", info);
    }
    info.replaceKey(PdfReportSignature::kReportIdKey, QPDFObjectHandle::newString(reportId.toStdString()));
    info.replaceKey(PdfReportSignature::kContentDigestKey,
                    QPDFObjectHandle::newString(contentDigest.toStdString()));
}

QByteArray written(QPDF& document)
{
    QPDFWriter writer(document);
    writer.setOutputMemory();
    // Objects of the report's object streams stay there; the new ones, the signature dictionary
    // among them, are written as they are, so that its placeholders can be found and filled.
    writer.setObjectStreamMode(qpdf_o_preserve);
    writer.write();
    const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
    return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()),
                      static_cast<qsizetype>(buffer->getSize()));
}

// The four numbers of a byte range "[a b c d]" at the start of text; empty when it is not one.
QList<qint64> byteRange(const QByteArray& text)
{
    const qsizetype open = text.indexOf('[');
    const qsizetype close = text.indexOf(']');
    if (open < 0 || close < open || text.left(open).trimmed().size() != 0)
        return {};
    QList<qint64> numbers;
    for (const QByteArray& part : text.mid(open + 1, close - open - 1).simplified().split(' ')) {
        bool ok = false;
        const qint64 number = part.toLongLong(&ok);
        if (!ok || number < 0)
            return {};
        numbers.append(number);
    }
    return numbers.size() == 4 ? numbers : QList<qint64>();
}

ReportVerdict altered(const QString& why)
{
    ReportVerdict verdict;
    verdict.state = ReportVerdict::State::Altered;
    verdict.detail = u"altered after signing: "_s + why;
    return verdict;
}

bool isHex(const QByteArray& text)
{
    for (const char c : text)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return false;
    return true;
}

} // namespace

Expected<QByteArray, QString> PdfReportSignature::sign(const QByteArray& pdf, const ReportSigningKey& key,
                                                       const QString& reportId, const QString& contentDigest)
{
    QByteArray out;
    try {
        const std::unique_ptr<QPDF> document = readPdf(pdf);
        const std::vector<QPDFPageObjectHelper> pages = QPDFPageDocumentHelper(*document).getAllPages();
        if (pages.empty())
            return Unexpected(u"the PDF has no page to sign"_s);
        addSignatureField(*document, pages.front().getObjectHandle(), signatureDictionary(*document, key));
        addReportInfo(*document, reportId, contentDigest);
        out = written(*document);
    } catch (const std::exception& failure) {
        return Unexpected(u"the PDF could not be prepared for its signature: "_s +
                          QString::fromUtf8(failure.what()));
    }

    const QByteArray contentsPlaceholder = '<' + QByteArray(2 * kSignatureRoom, 'f') + '>';
    const qsizetype contents = out.indexOf(contentsPlaceholder);
    const qsizetype range = placeholderRange(out);
    if (contents < 0 || range < 0 || out.indexOf(contentsPlaceholder, contents + 1) >= 0)
        return Unexpected(u"the PDF's signature placeholders were not found"_s);
    const qint64 gapEnd = contents + contentsPlaceholder.size();
    const QByteArray rangeText =
        u"[0 %1 %2 %3]"_s.arg(contents).arg(gapEnd).arg(out.size() - gapEnd).toLatin1();
    const qsizetype room = out.indexOf(']', range) + 1 - range;
    if (rangeText.size() > room)
        return Unexpected(u"the PDF's signature placeholders were not found"_s);
    out.replace(range, room, rangeText.leftJustified(room, ' '));

    const auto cms = key.sign(out.left(contents) + out.mid(gapEnd));
    if (!cms)
        return Unexpected(cms.error());
    if (cms->size() > kSignatureRoom)
        return Unexpected(u"the signature is larger than the room made for it"_s);
    const QByteArray hex = cms->toHex().toUpper().leftJustified(2 * kSignatureRoom, '0');
    out.replace(contents + 1, hex.size(), hex);
    return out;
}

ReportVerdict PdfReportSignature::check(const QByteArray& pdf, const QStringList& trustedFingerprints)
{
    const qsizetype at = pdf.lastIndexOf("/ByteRange");
    if (at < 0) {
        ReportVerdict verdict;
        verdict.state = ReportVerdict::State::NotSigned;
        verdict.detail = u"not signed"_s;
        return verdict;
    }
    const QList<qint64> range = byteRange(pdf.mid(at + 10, 128));
    if (range.isEmpty())
        return altered(u"the signed range cannot be read"_s);
    const qint64 gapStart = range[1];
    const qint64 gapEnd = range[2];
    const qint64 size = pdf.size();
    if (range[0] != 0 || gapStart <= 0 || gapEnd <= gapStart + 1 || gapEnd > size)
        return altered(u"the signed range does not fit the file"_s);
    if (gapEnd + range[3] < size)
        return altered(u"bytes were added after the signed part"_s);
    if (gapEnd + range[3] != size)
        return altered(u"the signed range does not fit the file"_s);
    const QByteArray value = pdf.mid(gapStart + 1, gapEnd - gapStart - 2);
    if (pdf.at(gapStart) != '<' || pdf.at(gapEnd - 1) != '>' || !isHex(value))
        return altered(u"the signed range leaves out more than the signature"_s);

    ReportVerdict verdict = ReportSignatureCheck::checkCms(
        QByteArray::fromHex(value), pdf.left(gapStart) + pdf.mid(gapEnd), trustedFingerprints);
    if (verdict.state == ReportVerdict::State::Altered)
        return verdict;
    try {
        const std::unique_ptr<QPDF> document = readPdf(pdf);
        QPDFObjectHandle info = document->getTrailer().getKey("/Info");
        if (info.isDictionary()) {
            if (QPDFObjectHandle id = info.getKey(kReportIdKey); id.isString())
                verdict.reportId = QString::fromStdString(id.getUTF8Value());
            if (QPDFObjectHandle digest = info.getKey(kContentDigestKey); digest.isString())
                verdict.contentDigest = QString::fromStdString(digest.getUTF8Value());
        }
    } catch (const std::exception&) {
        // The signature holds over the bytes; a document qpdf cannot read only lacks its ID here.
    }
    return verdict;
}

} // namespace cv
