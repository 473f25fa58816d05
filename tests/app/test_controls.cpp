// The drawn controls and the screen transitions.
#include "app/Palette.h"
#include "app/controls/CircleProgressBar.h"
#include "app/controls/ElidedLabel.h"
#include "app/controls/MenuButton.h"
#include "app/controls/ReplaceViewController.h"
#include "app/controls/ScreenFit.h"
#include "app/controls/TransitionAnimator.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QImage>
#include <QPalette>
#include <QPointer>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>

using namespace Qt::StringLiterals;

namespace cv::test {

namespace {

QImage render(QWidget& widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget.render(&image);
    return image;
}

bool isGreen(QRgb pixel)
{
    return qAbs(qRed(pixel) - 131) < 12 && qAbs(qGreen(pixel) - 188) < 12 && qAbs(qBlue(pixel) - 81) < 12;
}

} // namespace

TEST(Controls, TheProgressRingFillsClockwiseFromTheTop)
{
    CircleProgressBar bar;
    bar.resize(200, 200);
    // Points on the 5-point green band: right (3 o'clock), bottom, left (9 o'clock), just left of the top.
    const QPoint right(197, 100), bottom(100, 197), left(3, 100), nearTop(95, 3);

    bar.setProgress(0.5f);
    EXPECT_EQ(bar.percentageText(), u"50.00\n%"_s);
    QImage image = render(bar);
    EXPECT_TRUE(isGreen(image.pixel(right)));
    EXPECT_FALSE(isGreen(image.pixel(left))) << "half a ring covers the right half only";
    EXPECT_FALSE(isGreen(image.pixel(100, 100))) << "the middle stays white";

    bar.setProgress(0.3f);
    image = render(bar);
    EXPECT_TRUE(isGreen(image.pixel(right)));
    EXPECT_FALSE(isGreen(image.pixel(bottom)));

    bar.setProgress(1.0f);
    EXPECT_TRUE(bar.percentageText().isEmpty()) << "no text at 1: the check mark takes its place";
    image = render(bar);
    for (const QPoint point : {right, bottom, left, nearTop})
        EXPECT_TRUE(isGreen(image.pixel(point))) << point.x() << "," << point.y();

    bar.setProgress(std::nanf(""));
    EXPECT_EQ(bar.progress(), 0.0f) << "not a number draws as 0";
    EXPECT_EQ(bar.percentageText(), u"0.00\n%"_s);
    image = render(bar);
    EXPECT_FALSE(isGreen(image.pixel(right)));

    bar.setProgress(INFINITY); // a zero byte count with bytes counted: a full ring, no crash
    image = render(bar);
    EXPECT_TRUE(isGreen(image.pixel(left)));
}

TEST(Controls, AnActiveTabLooksTheSameWithOrWithoutThePointer)
{
    MenuButton button(u"Tab"_s);
    button.resize(100, 44);
    const auto corner = [&] { return QColor(render(button).pixel(3, 3)); };
    const QColor plain = corner();
    EXPECT_EQ(plain, QColor(85, 118, 164));
    button.setHover(true);
    const QColor hovered = corner();
    EXPECT_GT(hovered.red(), plain.red());
    button.setActive(true);
    const QColor active = corner();
    EXPECT_GT(active.red(), hovered.red()) << "the active overlay is stronger";
    button.setHover(false);
    EXPECT_EQ(corner(), active);
}

TEST(Controls, ReplacingLeavesExactlyOneScreenInTheHost)
{
    ReplaceViewController host;
    QPointer<QWidget> first = new QWidget;
    QPointer<QWidget> second = new QWidget;
    auto* third = new QWidget;
    host.replace(first);
    host.replace(second);
    host.replace(third);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(first.isNull());
    EXPECT_TRUE(second.isNull());
    EXPECT_EQ(host.current(), third);
    EXPECT_EQ(host.findChildren<QWidget*>(Qt::FindDirectChildrenOnly).size(), 1);
}

TEST(Controls, APresentedScreenCoversItsSourceAndGoesAfterDismissal)
{
    QWidget source;
    source.resize(300, 200);
    source.show();
    QPointer<QWidget> presented = new QWidget;
    TransitionAnimator::animatePresentation(presented, &source);
    EXPECT_EQ(presented->parentWidget(), &source);
    EXPECT_EQ(presented->geometry(), source.rect());
    source.resize(400, 250);
    EXPECT_EQ(presented->geometry(), source.rect()) << "it follows the source's size";
    TransitionAnimator::animateDismissal(presented);
    EXPECT_TRUE(QTest::qWaitFor([&] { return presented.isNull(); }, 3000));
}

TEST(Controls, TextStaysReadableOnADarkDesktop)
{
    const QPalette before = QApplication::palette();
    EXPECT_EQ(Palette::text(), QColor(85, 85, 85)) << "a light desktop keeps the window's own greys";
    EXPECT_EQ(Palette::background(), QColor(250, 250, 250));

    QPalette dark;
    dark.setColor(QPalette::Window, QColor(40, 40, 40));
    dark.setColor(QPalette::WindowText, QColor(230, 230, 230));
    dark.setColor(QPalette::Base, QColor(30, 30, 30));
    QApplication::setPalette(dark);
    const auto contrast = [](const QColor& a, const QColor& b) {
        return std::abs(a.lightness() - b.lightness());
    };
    for (const QColor& text : {Palette::text(), Palette::secondaryText(), Palette::caption()}) {
        EXPECT_GT(contrast(text, Palette::background()), 90) << text.name().toStdString();
        EXPECT_GT(text.lightness(), Palette::background().lightness()) << "light text on the dark background";
    }
    EXPECT_EQ(Palette::accent(), QColor(78, 160, 255)) << "brand colours stay";
    QApplication::setPalette(before);
}

TEST(Controls, ALongPathIsElidedInTheMiddleWithTheFullPathAsTipAndNeverWidensItsRow)
{
    const QString path = u"/media/user/A volume with a long name/and/a/deep/folder/below/it/report.pdf"_s;
    QWidget row;
    auto* layout = new QHBoxLayout(&row);
    auto* label = new ElidedLabel(&row);
    layout->addWidget(label);
    label->setFullText(path);
    EXPECT_LT(row.minimumSizeHint().width(), 100) << "the path must not set the row's width";
    row.resize(200, 40);
    row.show();
    QApplication::processEvents();
    EXPECT_NE(label->text(), path);
    EXPECT_TRUE(label->text().startsWith(u"/media"_s) && label->text().endsWith(u".pdf"_s))
        << label->text().toStdString();
    EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()), label->contentsRect().width());
    EXPECT_EQ(label->toolTip(), path);
    row.resize(2000, 40);
    QApplication::processEvents();
    EXPECT_EQ(label->text(), path) << "all of it where there is room";
}

TEST(Controls, AWindowIsKeptInsideTheAvailableAreaFrameIncluded)
{
    const QRect area(0, 30, 800, 570);
    // Too large: cut to the area; off to a side: moved in; inside: left as it is.
    EXPECT_EQ(ScreenFit::keptInside(QRect(0, 0, 900, 700), area), area);
    EXPECT_EQ(ScreenFit::keptInside(QRect(700, 500, 200, 100), area), QRect(600, 500, 200, 100));
    EXPECT_EQ(ScreenFit::keptInside(QRect(-50, 0, 200, 100), area), QRect(0, 30, 200, 100));
    EXPECT_EQ(ScreenFit::keptInside(QRect(10, 40, 200, 100), area), QRect(10, 40, 200, 100));
}

} // namespace cv::test
