#include "app/Palette.h"

#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

QColor fromDesktop(QPalette::ColorRole role)
{
    return QGuiApplication::palette().color(QPalette::Active, role);
}

// The window's text mixed toward its background: share 0 is the text, 1 the window. Dark desktops
// take a smaller share, as their text is already softer than black.
QColor towardWindow(double lightShare, double darkShare)
{
    return Palette::mix(fromDesktop(QPalette::WindowText), fromDesktop(QPalette::Window),
                        Palette::isDark() ? darkShare : lightShare);
}

// WCAG's relative luminance of an sRGB colour.
double luminance(const QColor& color)
{
    const auto channel = [](double value) {
        return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.redF()) + 0.7152 * channel(color.greenF()) +
           0.0722 * channel(color.blueF());
}

// color moved toward black (on light surfaces) or white (on dark ones) in small steps until its
// contrast with every surface reaches ratio; the least move that does.
QColor awayFrom(const QColor& color, const QList<QColor>& surfaces, double ratio)
{
    double light = 0;
    for (const QColor& surface : surfaces)
        light += luminance(surface);
    // Black and white have the same contrast with a luminance of about 0.18.
    const QColor target =
        light / static_cast<double>(surfaces.size()) > 0.18 ? QColor(Qt::black) : QColor(Qt::white);
    for (int step = 0; step <= 50; ++step) {
        const QColor candidate = Palette::mix(color, target, step / 50.0);
        const bool enough = std::all_of(surfaces.begin(), surfaces.end(), [&](const QColor& surface) {
            return Palette::contrast(candidate, surface) >= ratio;
        });
        if (enough)
            return candidate;
    }
    return target;
}

// The brand colours as designed; what the screens draw is made readable from these.
const QColor kAccent{78, 160, 255};
const QColor kAmount{131, 188, 81};
const QColor kFailure{217, 83, 79};

} // namespace

double Palette::contrast(const QColor& first, const QColor& second)
{
    const double a = luminance(first);
    const double b = luminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

QColor Palette::readable(const QColor& color, const QColor& against, double ratio)
{
    return awayFrom(color, {against}, ratio);
}

QColor Palette::onSurface(const QColor& color, double ratio)
{
    return awayFrom(color, {background(), base(), alternateBase(), panel()}, ratio);
}

QColor Palette::headerBlue()
{
    return {80, 110, 153};
}

QColor Palette::tabBlue()
{
    return {85, 118, 164};
}

QColor Palette::activeTab()
{
    return mix(tabBlue(), Qt::black, 0.15);
}

QColor Palette::mix(const QColor& from, const QColor& to, double share)
{
    return QColor::fromRgbF(static_cast<float>(from.redF() + (to.redF() - from.redF()) * share),
                            static_cast<float>(from.greenF() + (to.greenF() - from.greenF()) * share),
                            static_cast<float>(from.blueF() + (to.blueF() - from.blueF()) * share));
}

QColor Palette::accent()
{
    return onSurface(kAccent);
}

QColor Palette::accentFill()
{
    return readable(kAccent, onAccent());
}

QColor Palette::amount()
{
    return onSurface(kAmount);
}

QColor Palette::amountGraphic()
{
    return onSurface(kAmount, kOutlineContrast);
}

QColor Palette::failure()
{
    return onSurface(kFailure);
}

QColor Palette::onAccent()
{
    return Qt::white;
}

bool Palette::isDark()
{
    return fromDesktop(QPalette::Window).lightness() < 128;
}

QColor Palette::background()
{
    // A light window is lifted toward its base, as the screens are a shade lighter than dialogs.
    return isDark() ? fromDesktop(QPalette::Window)
                    : mix(fromDesktop(QPalette::Window), fromDesktop(QPalette::Base), 0.75);
}

QColor Palette::text()
{
    return onSurface(towardWindow(0.33, 0.0));
}

QColor Palette::secondaryText()
{
    return onSurface(towardWindow(0.45, 0.25));
}

QColor Palette::caption()
{
    return onSurface(towardWindow(0.5, 0.35));
}

QColor Palette::faintText()
{
    return onSurface(towardWindow(0.55, 0.45));
}

QColor Palette::base()
{
    return fromDesktop(QPalette::Base);
}

QColor Palette::alternateBase()
{
    return mix(fromDesktop(QPalette::Base), fromDesktop(QPalette::AlternateBase), 0.5);
}

QColor Palette::pressed()
{
    return mix(fromDesktop(QPalette::Base), fromDesktop(QPalette::WindowText), 0.06);
}

QColor Palette::panel()
{
    return mix(fromDesktop(QPalette::Base), background(), 0.3);
}

QColor Palette::outline()
{
    return onSurface(towardWindow(0.6, 0.45), kOutlineContrast);
}

QColor Palette::border()
{
    return onSurface(towardWindow(0.65, 0.5), kOutlineContrast);
}

QColor Palette::separator()
{
    // Only between rows and around lists, where the rows' own contrast already shows the parts.
    return towardWindow(0.88, 0.75);
}

QColor Palette::selectedSubText()
{
    return readable(mix(onAccent(), accentFill(), 0.15), accentFill());
}

QString Palette::css(const QColor& color)
{
    return u"rgb(%1, %2, %3)"_s.arg(color.red()).arg(color.green()).arg(color.blue());
}

QString Palette::textStyle(const QColor& color)
{
    return u"color: %1;"_s.arg(css(color));
}

QColor Palette::categoryBorder()
{
    return border();
}

QColor Palette::categoryTitle()
{
    return text();
}

} // namespace cv
