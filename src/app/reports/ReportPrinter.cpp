#include "app/reports/ReportPrinter.h"

#include <QImage>
#include <QPainter>
#include <QPdfDocument>
#include <QPdfDocumentRenderOptions>
#include <QPrinter>

#include <algorithm>
#include <cmath>

namespace cv {

bool ReportPrinter::print(QPdfDocument& document, QPrinter& printer)
{
    if (document.status() != QPdfDocument::Status::Ready || document.pageCount() <= 0)
        return false;
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    // The painter's origin is the top left of the printable area.
    const QRectF area = printer.pageRect(QPrinter::DevicePixel);
    const double toPixels = std::min(1.0, double(kMaxDotsPerInch) / printer.resolution());
    bool firstPiece = true;
    for (int page = 0; page < document.pageCount(); ++page) {
        const QSizeF points = document.pagePointSize(page);
        if (points.width() <= 0 || points.height() <= 0)
            continue;
        const double scale = area.width() / points.width(); // device pixels per point
        const double pieceHeight = area.height() / scale;   // points of the report per paper page
        const double imageScale = scale * toPixels;         // image pixels per point
        const QSize wholeImage(qRound(points.width() * imageScale), qRound(points.height() * imageScale));
        for (double top = 0; top < points.height() - 0.5; top += pieceHeight) {
            if (!firstPiece && !printer.newPage())
                return false;
            firstPiece = false;
            const double height = std::min(pieceHeight, points.height() - top);
            const QRect clip(0, qRound(top * imageScale), wholeImage.width(),
                             std::max(1, qRound(height * imageScale)));
            QPdfDocumentRenderOptions options;
            options.setScaledSize(wholeImage);
            options.setScaledClipRect(clip);
            const QImage piece = document.render(page, clip.size(), options);
            painter.drawImage(QRectF(0, 0, area.width(), height * scale), piece);
        }
    }
    return painter.end();
}

} // namespace cv
