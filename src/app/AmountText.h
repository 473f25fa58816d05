#pragma once

#include <QString>

#include <cstdint>

namespace cv {

// Amounts as the window shows them, in the conventions of the language it speaks (the one
// AppTranslator installed): byte amounts through the reports' formatter, so that a screen and its
// report read alike ("2.8 MB", "2,8 MB", "932 Byte", "Null KB"), and counts with their digits
// grouped ("1,234", "1.234").
class AmountText
{
public:
    static QString bytes(std::int64_t amount);
    static QString count(std::int64_t amount);
    // A number with a fixed count of decimals ("42.00", "42,00").
    static QString decimal(double value, int decimals);
};

} // namespace cv
