#include "app/AmountText.h"

#include "reports/ReportFactory.h"
#include "translations/AppTranslator.h"

namespace cv {

QString AmountText::bytes(std::int64_t amount)
{
    return ReportFactory::byteCountText(amount, AppTranslator::languageInUse());
}

QString AmountText::count(std::int64_t amount)
{
    return ReportFactory::localeFor(AppTranslator::languageInUse()).toString(qlonglong(amount));
}

QString AmountText::decimal(double value, int decimals)
{
    return ReportFactory::localeFor(AppTranslator::languageInUse()).toString(value, 'f', decimals);
}

} // namespace cv
