#pragma once

#include <QByteArray>
#include <QSizeF>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

class QPDF;

namespace cv {

// The document information a PDF carries for viewers and document systems; empty fields are left
// out.
struct PdfDocumentInfo
{
    QString title;
    QString subject;
    QString creator;
};

// Joins the PDF files the web engine prints, one part of a report at a time, into one document
// with libqpdf: the pages of every part in order, each keeping its own size. The parts are kept
// until join() (the joined file reads their streams from them).
class PdfPageJoiner
{
public:
    PdfPageJoiner();
    ~PdfPageJoiner();
    PdfPageJoiner(const PdfPageJoiner&) = delete;
    PdfPageJoiner& operator=(const PdfPageJoiner&) = delete;

    // The number of pages of a PDF file; nothing when it cannot be read as one.
    static std::optional<int> pageCount(const QByteArray& pdf);
    // The size in points of each page (its media box); empty when the file cannot be read.
    static std::vector<QSizeF> pageSizes(const QByteArray& pdf);

    // Adds the pages of a PDF file after those added before; false (with the reason in error())
    // when it cannot be read.
    bool append(QByteArray pdf);

    // The document information the joined document carries.
    void setDocumentInfo(PdfDocumentInfo info) { m_info = std::move(info); }

    // The joined document; nothing (with the reason in error()) when it cannot be written.
    std::optional<QByteArray> join();
    const QString& error() const { return m_error; }

private:
    // The bytes each part was read from stay beside it: qpdf reads a part's streams when it
    // writes the joined file.
    struct Part
    {
        QByteArray bytes;
        std::unique_ptr<QPDF> document;
    };
    std::vector<Part> m_parts;
    PdfDocumentInfo m_info;
    QString m_error;
};

} // namespace cv
