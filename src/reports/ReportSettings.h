#pragma once

#include "reports/ReportOptions.h"

#include <QStringView>

namespace cv {

class SettingsManager;

// The report options the settings store holds: the one place that turns the stored report
// settings into ReportOptions, for the window and the command line alike, each reading them when
// it makes a report (a language or folder chosen in the settings applies to the next report).
class ReportSettings
{
public:
    // Keys of the two strings printed as the user's name and company (Base64 strings, empty while
    // absent).
    static constexpr QStringView kSettingsReportUserName = u"kSettingsReportUserName";
    static constexpr QStringView kSettingsReportUserCompany = u"kSettingsReportUserCompany";

    // The options as the store holds them now; the language is the one the window shows.
    static ReportOptions options(const SettingsManager& settings);
};

} // namespace cv
