#include "app/controls/StyledLabel.h"

#include "app/Palette.h"

#include <QLabel>

namespace cv {

QLabel* styledLabel(QWidget* parent, int pixelSize, const QColor& color, Qt::Alignment alignment,
                    QFont::Weight weight)
{
    auto* label = new QLabel(parent);
    styleLabel(label, pixelSize, color, alignment, weight);
    return label;
}

void styleLabel(QLabel* label, int pixelSize, const QColor& color, Qt::Alignment alignment,
                QFont::Weight weight)
{
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    label->setFont(font);
    label->setAlignment(alignment);
    label->setStyleSheet(Palette::textStyle(color));
}

} // namespace cv
