#pragma once

// Shred results and helpers shared by the report tests.
#include "engine/ShredResult.h"
#include "freespace/FreeSpaceCoordinator.h"

#include "ProcessRunner.h"

#include <QImage>
#include <QRegularExpression>
#include <QString>

#include <ZXing/ReadBarcode.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
QT_END_NAMESPACE

namespace cv::test {

// A finished job of `files` files at paths /data/report-test/file_N.txt, 1000 bytes each, all
// deleted, with a method of three passes of the test's own.
inline std::shared_ptr<ShredResult> makeResult(std::size_t files)
{
    auto result = std::make_shared<ShredResult>();
    result->start = ShredResult::Clock::time_point(std::chrono::seconds(1796479200)); // 2026-12-05
    result->end = result->start + std::chrono::hours(26) + std::chrono::seconds(5);
    // A method the catalogue does not know: the report prints the job's own name for it.
    result->algorithm = std::make_shared<Algorithm>(99, 3, "Report test method (3 passes)", "");
    result->options = std::make_shared<ShredOptions>();
    result->paths = std::make_shared<PathCollection>();
    result->paths->setPaths({"/data/report-test"});
    for (std::size_t i = 1; i <= files; ++i) {
        ShredItem item;
        item.path = "/data/report-test/file_" + std::to_string(i) + ".txt";
        item.fileSize = 1000;
        item.success = true;
        item.state = ShredItem::State::Deleted;
        result->history.push_back(item);
    }
    result->fileCountTotal = files;
    result->fileCountFinished = files;
    result->fileCountRemoved = files;
    result->bytesCountTotal = static_cast<std::int64_t>(files) * 1000;
    result->bytesCountFinished = result->bytesCountTotal;
    return result;
}

// Volumes as the tests declare them: "/" named rootName, and every path in others.
inline VolumeProbe fakeVolumes(std::string rootName, std::vector<std::string> others)
{
    VolumeProbe probe;
    probe.isVolume = [others](const std::string& path) {
        return path == "/" || std::find(others.begin(), others.end(), path) != others.end();
    };
    probe.volumeName = [rootName](const std::string& path) { return path == "/" ? rootName : std::string(); };
    probe.freeBytes = [](const std::string&) { return 0.0; };
    return probe;
}

// The text of the QR code in image, or an empty string when none is found.
inline std::string decodeQrCode(const QImage& image)
{
    const QImage gray = image.convertToFormat(QImage::Format_Grayscale8);
    const ZXing::ImageView view(gray.constBits(), gray.width(), gray.height(), ZXing::ImageFormat::Lum,
                                static_cast<int>(gray.bytesPerLine()));
    ZXing::DecodeHints hints;
    hints.setFormats(ZXing::BarcodeFormat::QRCode);
    const ZXing::Result result = ZXing::ReadBarcode(view, hints);
    return result.isValid() ? result.text() : std::string();
}

// Pages and page size as pdfinfo reads them: "1 600x14400".
inline std::string pdfInfo(const std::string& path)
{
    const QString info = QString::fromStdString(cv::test::runProcess({"pdfinfo", path}).out);
    const auto pages = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(info);
    const auto size =
        QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(info);
    if (!pages.hasMatch() || !size.hasMatch())
        return info.toStdString();
    return (pages.captured(1) + u' ' + QString::number(qRound(size.captured(1).toDouble())) + u'x' +
            QString::number(qRound(size.captured(2).toDouble())))
        .toStdString();
}

} // namespace cv::test
