#include "app/PlaceholderPage.h"

#include "app/Palette.h"
#include "app/controls/ColorGradientView.h"

#include <QLabel>
#include <QVBoxLayout>

namespace cv {

PlaceholderPage::PlaceholderPage(const QString& title, QWidget* parent) : QWidget(parent)
{
    ColorGradientView* background = ColorGradientView::fill(this);
    auto* inner = new QVBoxLayout(background);
    auto* label = new QLabel(title, background);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPixelSize(24);
    font.setWeight(QFont::Light);
    label->setFont(font);
    label->setStyleSheet(Palette::textStyle(Palette::faintText()));
    inner->addWidget(label);
}

} // namespace cv
