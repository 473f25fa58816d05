#include "app/controls/ActionRow.h"

#include "app/Palette.h"
#include "app/controls/ColorGradientView.h"
#include "app/controls/PillButton.h"
#include "app/controls/StyledLabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace cv {

ActionRow::ActionRow(PillButton* start, QWidget* parent)
    : QWidget(parent),
      m_summary(styledLabel(this, 12, Palette::secondaryText(), Qt::AlignLeft | Qt::AlignVCenter)),
      m_start(start)
{
    setObjectName(u"actionRow"_s);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(20, 10, 20, 16);
    layout->setSpacing(18);
    m_summary->setObjectName(u"methodSummary"_s);
    m_summary->setWordWrap(true);
    layout->addWidget(m_summary, 1);
    start->setParent(this);
    layout->addWidget(start, 0, Qt::AlignRight | Qt::AlignVCenter);
}

void ActionRow::setSummary(const QString& text)
{
    m_summary->setText(text);
}

QLabel* ActionRow::addAmount(const QString& caption)
{
    m_amount = new QWidget(this);
    m_amount->setObjectName(u"amount"_s);
    auto* column = new QVBoxLayout(m_amount);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(2);
    QLabel* title = styledLabel(m_amount, 12, Palette::caption());
    title->setText(caption);
    column->addWidget(title);
    QLabel* amount = styledLabel(m_amount, 20, Palette::amount());
    column->addWidget(amount);
    m_amount->hide();
    static_cast<QHBoxLayout*>(layout())->insertWidget(0, m_amount);
    return amount;
}

void ActionRow::setAmountShown(bool shown)
{
    if (m_amount)
        m_amount->setVisible(shown);
}

QWidget* ActionRow::frame(QWidget* screen, ActionRow* row)
{
    ColorGradientView* base = ColorGradientView::fill(screen);
    auto* layout = new QVBoxLayout(base);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* area = new QScrollArea(base);
    area->setObjectName(u"contentScroll"_s);
    area->setFrameShape(QFrame::NoFrame);
    area->setWidgetResizable(true);
    area->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* content = new QWidget;
    content->setObjectName(u"content"_s);
    area->setWidget(content);
    // The screen's background shows through: the scroll area paints nothing of its own.
    area->setAutoFillBackground(false);
    area->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    layout->addWidget(area, 1);
    row->setParent(base);
    layout->addWidget(row);
    return content;
}

QScrollArea* ActionRow::contentArea(const QWidget* screen)
{
    return screen->findChild<QScrollArea*>(u"contentScroll"_s);
}

} // namespace cv
