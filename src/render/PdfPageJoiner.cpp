#include "render/PdfPageJoiner.h"

#include <qpdf/Buffer.hh>
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFPageObjectHelper.hh>
#include <qpdf/QPDFWriter.hh>

#include <exception>
#include <utility>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

// Reads a PDF held in memory (which must outlive the document). qpdf reports a broken file by
// throwing; its warnings about files it can repair are of no use here.
std::unique_ptr<QPDF> readPdf(const QByteArray& pdf)
{
    auto document = std::make_unique<QPDF>();
    document->setSuppressWarnings(true);
    document->processMemoryFile("report part", pdf.constData(), static_cast<size_t>(pdf.size()));
    return document;
}

// The document's information dictionary from info (the pages the web engine printed carry their
// own, which joining leaves behind).
void addDocumentInfo(QPDF& document, const PdfDocumentInfo& info)
{
    QPDFObjectHandle dictionary = QPDFObjectHandle::newDictionary();
    const std::pair<const char*, const QString*> fields[] = {
        {"/Title", &info.title}, {"/Subject", &info.subject}, {"/Creator", &info.creator}};
    for (const auto& [key, value] : fields) {
        if (!value->isEmpty())
            dictionary.replaceKey(key, QPDFObjectHandle::newUnicodeString(value->toStdString()));
    }
    if (dictionary.getKeys().empty())
        return;
    document.getTrailer().replaceKey("/Info", document.makeIndirectObject(dictionary));
}

} // namespace

PdfPageJoiner::PdfPageJoiner() = default;
PdfPageJoiner::~PdfPageJoiner() = default;

std::optional<int> PdfPageJoiner::pageCount(const QByteArray& pdf)
{
    try {
        return static_cast<int>(readPdf(pdf)->getAllPages().size());
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

std::vector<QSizeF> PdfPageJoiner::pageSizes(const QByteArray& pdf)
{
    std::vector<QSizeF> sizes;
    try {
        const auto document = readPdf(pdf);
        for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(*document).getAllPages()) {
            const QPDFObjectHandle::Rectangle box = page.getMediaBox().getArrayAsRectangle();
            sizes.emplace_back(box.urx - box.llx, box.ury - box.lly);
        }
    } catch (const std::exception&) {
        sizes.clear();
    }
    return sizes;
}

bool PdfPageJoiner::append(QByteArray pdf)
{
    try {
        Part part{std::move(pdf), nullptr};
        part.document = readPdf(part.bytes);
        // Reading its page tree finds a file that only looks like a PDF.
        part.document->getAllPages();
        m_parts.push_back(std::move(part));
        return true;
    } catch (const std::exception& failure) {
        m_error =
            u"a printed part of the report could not be read: %1"_s.arg(QString::fromUtf8(failure.what()));
        return false;
    }
}

std::optional<QByteArray> PdfPageJoiner::join()
{
    try {
        QPDF joined;
        joined.emptyPDF();
        QPDFPageDocumentHelper pages(joined);
        for (Part& part : m_parts) {
            for (QPDFPageObjectHelper& page : QPDFPageDocumentHelper(*part.document).getAllPages())
                pages.addPage(page, false);
        }
        addDocumentInfo(joined, m_info);
        QPDFWriter writer(joined);
        writer.setOutputMemory();
        // Object streams make the cross-reference data of many small objects far smaller.
        writer.setObjectStreamMode(qpdf_o_generate);
        writer.write();
        const std::shared_ptr<Buffer> buffer = writer.getBufferSharedPointer();
        return QByteArray(reinterpret_cast<const char*>(buffer->getBuffer()),
                          static_cast<qsizetype>(buffer->getSize()));
    } catch (const std::exception& failure) {
        m_error = u"the report's pages could not be joined: %1"_s.arg(QString::fromUtf8(failure.what()));
        return std::nullopt;
    }
}

} // namespace cv
