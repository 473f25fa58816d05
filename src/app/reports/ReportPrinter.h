#pragma once

class QPdfDocument;
class QPrinter;

namespace cv {

// Prints a rendered report on a printer of the desktop (or a PDF file, for a printer that prints
// to a file). A report is one page as tall as its content, so it is printed at the width of the
// paper and cut into as many paper pages as its height needs; each piece is drawn at no more than
// 300 dots per inch, which keeps the memory of one piece bounded for reports of any length.
class ReportPrinter
{
public:
    static constexpr int kMaxDotsPerInch = 300;

    // Prints every page of document on printer; false when the document has no pages or the
    // printer cannot be drawn on.
    static bool print(QPdfDocument& document, QPrinter& printer);
};

} // namespace cv
