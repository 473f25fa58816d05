// The drawn controls and the screen transitions.
#include "app/Palette.h"
#include "app/controls/CircleProgressBar.h"
#include "app/controls/ElidedLabel.h"
#include "app/controls/MenuButton.h"
#include "app/controls/MethodPicker.h"
#include "app/controls/ReplaceViewController.h"
#include "app/controls/ScreenFit.h"
#include "app/controls/TransitionAnimator.h"
#include "settings/SettingsManager.h"

#include "TempDir.h"

#include <QApplication>
#include <QComboBox>
#include <QHBoxLayout>
#include <QImage>
#include <QLabel>
#include <QPalette>
#include <QPointer>
#include <QScopeGuard>
#include <QStyle>
#include <QStyleFactory>
#include <QTest>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <vector>

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

// The ring's green, as the desktop's palette needs it to be seen.
bool isGreen(QRgb pixel)
{
    const QColor green = Palette::amountGraphic();
    return qAbs(qRed(pixel) - green.red()) < 12 && qAbs(qGreen(pixel) - green.green()) < 12 &&
           qAbs(qBlue(pixel) - green.blue()) < 12;
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
    EXPECT_LT(hovered.red(), plain.red());
    button.setActive(true);
    const QColor active = corner();
    EXPECT_LT(active.red(), hovered.red()) << "the active shade is stronger";
    EXPECT_EQ(active.rgb(), Palette::activeTab().rgb());
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
    EXPECT_TRUE(QTest::qWaitFor([&] { return presented.isNull(); }, 60000));
}

namespace {

// A colour drawn on another, and the least contrast WCAG AA asks of the pair.
struct Drawn
{
    const char* what;
    QColor color;
    QColor behind;
    double least;
};

// Every pair of colours the screens draw text or control outlines in.
std::vector<Drawn> colorsTheScreensUse()
{
    std::vector<Drawn> pairs;
    const std::pair<const char*, QColor> surfaces[] = {{"background", Palette::background()},
                                                       {"base", Palette::base()},
                                                       {"alternateBase", Palette::alternateBase()},
                                                       {"panel", Palette::panel()}};
    const std::pair<const char*, QColor> texts[] = {
        {"text", Palette::text()},
        {"secondaryText", Palette::secondaryText()},
        {"caption", Palette::caption()},
        {"faintText", Palette::faintText()},
        {"accent (links)", Palette::accent()},
        {"amount", Palette::amount()},
        {"failure", Palette::failure()},
        {"categoryTitle", Palette::categoryTitle()},
        {"report card dates", Palette::onSurface(Palette::headerBlue())},
        {"category sizes", Palette::onSurface(Palette::tabBlue())},
    };
    for (const auto& [textName, text] : texts)
        for (const auto& [surfaceName, surface] : surfaces)
            pairs.push_back({textName, text, surface, Palette::kTextContrast});
    pairs.push_back(
        {"filled button text", Palette::onAccent(), Palette::accentFill(), Palette::kTextContrast});
    pairs.push_back(
        {"selected row's path", Palette::selectedSubText(), Palette::accentFill(), Palette::kTextContrast});
    pairs.push_back({"title bar", Palette::onAccent(), Palette::headerBlue(), Palette::kTextContrast});
    pairs.push_back(
        {"tabs and chosen categories", Palette::onAccent(), Palette::tabBlue(), Palette::kTextContrast});
    pairs.push_back({"the shown tab", Palette::onAccent(), Palette::activeTab(), Palette::kTextContrast});
    const std::pair<const char*, QColor> outlines[] = {{"drop zone outline", Palette::outline()},
                                                       {"drop zone highlight", Palette::accent()},
                                                       {"progress ring", Palette::amountGraphic()},
                                                       {"button and card border", Palette::border()},
                                                       {"category border", Palette::categoryBorder()}};
    for (const auto& [outlineName, outline] : outlines)
        for (const auto& [surfaceName, surface] : surfaces)
            pairs.push_back({outlineName, outline, surface, Palette::kOutlineContrast});
    return pairs;
}

QPalette darkPalette(const QColor& window, const QColor& text, const QColor& base)
{
    QPalette dark;
    dark.setColor(QPalette::Window, window);
    dark.setColor(QPalette::WindowText, text);
    dark.setColor(QPalette::Base, base);
    dark.setColor(QPalette::AlternateBase, base.lighter(115));
    dark.setColor(QPalette::Text, text);
    dark.setColor(QPalette::Mid, window.lighter(160));
    return dark;
}

} // namespace

TEST(Controls, ContrastReachesWcagAaInLightAndDarkPalettes)
{
    const QPalette before = QApplication::palette();
    EXPECT_NEAR(Palette::contrast(Qt::black, Qt::white), 21.0, 0.01);
    EXPECT_NEAR(Palette::contrast(QColor(119, 119, 119), Qt::white), 4.48, 0.01) << "WCAG's own example";

    QPalette softDark = darkPalette(QColor(50, 50, 54), QColor(150, 150, 150), QColor(58, 58, 62));
    const std::pair<const char*, QPalette> palettes[] = {
        {"light", std::unique_ptr<QStyle>(QStyleFactory::create(u"Fusion"_s))->standardPalette()},
        {"dark", darkPalette(QColor(45, 45, 48), QColor(220, 220, 220), QColor(30, 30, 32))},
        {"dark with soft text", softDark},
    };
    for (const auto& [name, palette] : palettes) {
        QApplication::setPalette(palette);
        EXPECT_EQ(Palette::isDark(), std::string(name) != "light") << name;
        for (const Drawn& pair : colorsTheScreensUse()) {
            EXPECT_GE(Palette::contrast(pair.color, pair.behind), pair.least)
                << name << " palette: " << pair.what << " " << pair.color.name().toStdString() << " on "
                << pair.behind.name().toStdString();
        }
        // The neutral colours come from the desktop: light text on a dark background.
        if (Palette::isDark())
            EXPECT_GT(Palette::text().lightness(), Palette::background().lightness()) << name;
        else
            EXPECT_LT(Palette::text().lightness(), Palette::background().lightness()) << name;
    }
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

namespace cv::test {

TEST(Controls, EveryMethodPickerReadsTheStoredDefaultTheSameWay)
{
    TempDir dir;
    SettingsManager settings(QString::fromStdString(dir / "settings.ini"));
    const QStringView key = SettingsManager::kSettingsDeletionDefaultMethod;
    const AlgorithmCollection catalogue;
    const auto indexOf = [&](std::uint64_t identifier) {
        return static_cast<int>(catalogue.getIndexForIdentifier(identifier));
    };
    MethodPicker::rememberUsed(*catalogue.findByIdentifier(16)); // a job of this run used method 16
    const auto forget = qScopeGuard([&] { MethodPicker::rememberUsed(*catalogue.get(0)); });

    // A value that names no method that writes is no default, whatever it is: the screens keep the
    // last job's method, the Deletion pane shows the placeholder.
    for (const QVariant& none : {QVariant(), QVariant(0), QVariant(22), QVariant(-1), QVariant(u"abc"_s)}) {
        if (none.isValid())
            settings.setObject(none, key);
        const MethodPicker screen(MethodPicker::Role::Screen, settings);
        const MethodPicker pane(MethodPicker::Role::DefaultSetting, settings);
        EXPECT_EQ(screen.list()->currentIndex(), indexOf(16)) << none.toString().toStdString();
        EXPECT_EQ(screen.selected()->identifier(), 16u);
        EXPECT_EQ(pane.list()->currentIndex(), 0) << none.toString().toStdString();
        EXPECT_EQ(pane.selected(), nullptr);
    }
    settings.setInteger(13, key);
    MethodPicker screen(MethodPicker::Role::Screen, settings);
    MethodPicker pane(MethodPicker::Role::DefaultSetting, settings);
    EXPECT_EQ(screen.list()->currentIndex(), indexOf(13)) << "a stored default comes first";
    EXPECT_EQ(pane.list()->currentIndex(), indexOf(13));
    EXPECT_FALSE(screen.findChild<QLabel*>(u"methodDescription"_s)->text().isEmpty());

    // The pane stores what the user picks; an open screen follows until the user picks there.
    pane.list()->setCurrentIndex(indexOf(21));
    emit pane.list()->activated(indexOf(21));
    EXPECT_EQ(settings.integerForKey(key), 21);
    EXPECT_EQ(screen.selected()->identifier(), 21u);
    screen.list()->setCurrentIndex(indexOf(2));
    emit screen.list()->activated(indexOf(2));
    pane.list()->setCurrentIndex(0);
    emit pane.list()->activated(0);
    EXPECT_EQ(settings.integerForKey(key), 0) << "the placeholder stores no default";
    EXPECT_EQ(screen.selected()->identifier(), 2u) << "the user's own choice stays";
}

} // namespace cv::test
