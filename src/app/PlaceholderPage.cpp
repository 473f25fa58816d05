#include "app/PlaceholderPage.h"

#include "app/Palette.h"
#include "app/controls/ColorGradientView.h"

#include <QLabel>
#include <QVBoxLayout>

namespace cv {

PlaceholderPage::PlaceholderPage(const QString& title, QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* background = new ColorGradientView(this);
    layout->addWidget(background);
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
