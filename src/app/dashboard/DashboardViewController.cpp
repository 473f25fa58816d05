#include "app/dashboard/DashboardViewController.h"

#include "app/Palette.h"
#include "app/controls/ColorGradientView.h"
#include "app/controls/StyledLabel.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace cv {

DashboardViewController::DashboardViewController(const DashboardFacts& facts, QWidget* parent)
    : QWidget(parent), m_facts(facts)
{
    setObjectName(u"DashboardViewController"_s);
    ColorGradientView* base = ColorGradientView::fill(this);
    auto* layout = new QVBoxLayout(base);
    layout->setContentsMargins(40, 36, 40, 36);
    layout->setSpacing(0);

    // The machine: its picture beside its facts.
    auto* machine = new QHBoxLayout;
    machine->setSpacing(36);
    auto* image = new QLabel(base);
    image->setObjectName(u"machineImage"_s);
    const QString imageName = facts.laptop ? u":/images/laptop.svg"_s : u":/images/desktop.svg"_s;
    image->setPixmap(QIcon(imageName).pixmap(QSize(200, 150)));
    image->setProperty("imageName", imageName);
    machine->addWidget(image, 0, Qt::AlignTop);

    auto* details = new QGridLayout;
    details->setHorizontalSpacing(18);
    details->setVerticalSpacing(8);
    QLabel* model = styledLabel(base, 22, Palette::text(), Qt::AlignLeft | Qt::AlignVCenter, QFont::Light);
    model->setObjectName(u"model"_s);
    // An unknown model has no heading: a lone dash there reads as a broken title.
    const QString modelName = facts.model.trimmed();
    const bool modelKnown = !modelName.isEmpty() && modelName != u"-"_s && modelName != u"\u2013"_s;
    model->setText(modelKnown ? modelName : QString());
    model->setVisible(modelKnown);
    model->setWordWrap(true);
    details->addWidget(model, 0, 0, 1, 2);
    const std::pair<QString, std::pair<const char*, QString>> rows[] = {
        {tr("Name"), {"machineName", facts.machineName}},
        {tr("Serial number"), {"serialNumber", facts.serialNumber}},
        {tr("System"), {"osVersion", facts.osVersion}},
    };
    int row = 1;
    for (const auto& [caption, value] : rows) {
        QLabel* captionLabel = styledLabel(base, 12, Palette::caption());
        captionLabel->setText(caption);
        details->addWidget(captionLabel, row, 0);
        QLabel* valueLabel = styledLabel(base, 13, Palette::text());
        valueLabel->setObjectName(QLatin1StringView(value.first));
        valueLabel->setText(value.second.isEmpty() ? u"-"_s : value.second);
        valueLabel->setWordWrap(true);
        valueLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
        details->addWidget(valueLabel, row, 1);
        ++row;
    }
    details->setColumnStretch(1, 1);
    details->setRowStretch(row, 1);
    machine->addLayout(details, 1);
    layout->addLayout(machine);
    layout->addSpacing(30);

    // The startup volume.
    QLabel* diskName =
        styledLabel(base, 16, Palette::text(), Qt::AlignLeft | Qt::AlignVCenter, QFont::DemiBold);
    diskName->setObjectName(u"diskName"_s);
    diskName->setText(facts.diskName);
    layout->addWidget(diskName);
    layout->addSpacing(6);
    QLabel* total = styledLabel(base, 12, Palette::secondaryText());
    total->setObjectName(u"capTotal"_s);
    total->setText(facts.capTotal());
    layout->addWidget(total);
    layout->addSpacing(10);
    auto* bar = new QProgressBar(base);
    bar->setObjectName(u"capProgress"_s);
    bar->setRange(0, 1000);
    bar->setValue(facts.usedPerMille());
    bar->setTextVisible(false);
    bar->setFixedHeight(14);
    bar->setStyleSheet(
        u"QProgressBar { background: %1; border: 1px solid %2; border-radius: 6px; }"
        u"QProgressBar::chunk { background: %3; border-radius: 5px; }"_s.arg(
            Palette::css(Palette::base()), Palette::css(Palette::border()), Palette::css(Palette::accent())));
    layout->addWidget(bar);
    layout->addSpacing(8);
    auto* amounts = new QHBoxLayout;
    QLabel* used = styledLabel(base, 12, Palette::text());
    used->setObjectName(u"capUsed"_s);
    used->setText(facts.capUsed());
    amounts->addWidget(used);
    amounts->addStretch(1);
    QLabel* available = styledLabel(base, 12, Palette::amount());
    available->setObjectName(u"capAvailable"_s);
    available->setText(facts.capAvailable());
    amounts->addWidget(available);
    layout->addLayout(amounts);
    layout->addStretch(1);
}

} // namespace cv
