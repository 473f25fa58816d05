#pragma once

#include "reports/VarSystemInfo.h"

#include <QCoreApplication>
#include <QString>

namespace cv {

// What the dashboard shows, without widgets: the machine (model, name, serial, system), the
// startup volume's name and capacity, and whether the machine is a laptop. Read once, when the
// dashboard is made.
struct DashboardFacts
{
    Q_DECLARE_TR_FUNCTIONS(cv::DashboardFacts)

public:
    QString model;
    QString machineName;
    QString serialNumber; // "-" when it cannot be read
    QString osVersion;
    QString diskName; // "/" followed by the volume's label in parentheses when it has one
    qint64 totalBytes = 0;
    qint64 freeBytes = 0;
    bool laptop = false;

    // The facts of this machine and its startup volume "/".
    static DashboardFacts read(const VarSystemInfo::Sources& sources = {});

    // DMI chassis types 8 (portable), 9 (laptop), 10 (notebook) and 14 (sub notebook), or a model
    // identifier beginning "MacBook", make a laptop.
    static bool isLaptop(const QString& chassisType, const QString& modelIdentifier);

    qint64 usedBytes() const { return totalBytes > freeBytes ? totalBytes - freeBytes : 0; }
    // "In total: 500 GB", "300 GB used", "200 GB available" (decimal units).
    QString capTotal() const;
    QString capUsed() const;
    QString capAvailable() const;
    // The bar's fill, 0 to 1000.
    int usedPerMille() const;
};

} // namespace cv
