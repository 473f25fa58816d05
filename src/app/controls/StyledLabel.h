#pragma once

#include <QColor>
#include <QFont>

class QLabel;
class QWidget;

namespace cv {

// A label in the screens' type: a pixel size, a colour of the palette, an alignment and a weight.
QLabel* styledLabel(QWidget* parent, int pixelSize, const QColor& color,
                    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter,
                    QFont::Weight weight = QFont::Normal);
// Gives a label made elsewhere (an elided one, say) the same type.
void styleLabel(QLabel* label, int pixelSize, const QColor& color,
                Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter,
                QFont::Weight weight = QFont::Normal);

} // namespace cv
