#include "app/Palette.h"

#include <QGuiApplication>
#include <QPalette>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

QColor fromDesktop(QPalette::ColorRole role)
{
    return QGuiApplication::palette().color(QPalette::Active, role);
}

// A colour between two others: share 0 gives from, 1 gives to.
QColor mix(const QColor& from, const QColor& to, double share)
{
    return QColor::fromRgbF(static_cast<float>(from.redF() + (to.redF() - from.redF()) * share),
                            static_cast<float>(from.greenF() + (to.greenF() - from.greenF()) * share),
                            static_cast<float>(from.blueF() + (to.blueF() - from.blueF()) * share));
}

// The light colour on a light desktop, else the one the dark palette gives.
QColor neutral(QColor light, const QColor& dark)
{
    return Palette::isDark() ? dark : light;
}

} // namespace

QColor Palette::headerBlue()
{
    return {80, 110, 153};
}

QColor Palette::tabBlue()
{
    return {85, 118, 164};
}

QColor Palette::accent()
{
    return {78, 160, 255};
}

QColor Palette::amount()
{
    return {131, 188, 81};
}

QColor Palette::failure()
{
    return {217, 83, 79};
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
    return neutral({250, 250, 250}, fromDesktop(QPalette::Window));
}

QColor Palette::text()
{
    return neutral({85, 85, 85}, fromDesktop(QPalette::WindowText));
}

QColor Palette::secondaryText()
{
    return neutral({119, 119, 119},
                   mix(fromDesktop(QPalette::WindowText), fromDesktop(QPalette::Window), 0.25));
}

QColor Palette::caption()
{
    return neutral({150, 150, 150},
                   mix(fromDesktop(QPalette::WindowText), fromDesktop(QPalette::Window), 0.4));
}

QColor Palette::faintText()
{
    return neutral({165, 165, 165},
                   mix(fromDesktop(QPalette::WindowText), fromDesktop(QPalette::Window), 0.5));
}

QColor Palette::base()
{
    return neutral(Qt::white, fromDesktop(QPalette::Base));
}

QColor Palette::alternateBase()
{
    return neutral({248, 248, 248}, fromDesktop(QPalette::AlternateBase));
}

QColor Palette::pressed()
{
    return neutral({240, 240, 240}, fromDesktop(QPalette::Midlight));
}

QColor Palette::panel()
{
    return neutral({252, 252, 252}, fromDesktop(QPalette::Base));
}

QColor Palette::outline()
{
    return neutral({179, 179, 179}, fromDesktop(QPalette::Mid));
}

QColor Palette::border()
{
    return neutral({204, 204, 204}, fromDesktop(QPalette::Mid));
}

QColor Palette::separator()
{
    return neutral({235, 235, 235}, fromDesktop(QPalette::Mid));
}

QColor Palette::selectedSubText()
{
    return {235, 244, 255};
}

QString Palette::css(const QColor& color)
{
    return u"rgb(%1, %2, %3)"_s.arg(color.red()).arg(color.green()).arg(color.blue());
}

QString Palette::textStyle(const QColor& color)
{
    return u"color: %1;"_s.arg(css(color));
}

} // namespace cv
