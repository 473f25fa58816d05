#include "app/settings/SettingsPane.h"

#include "app/Palette.h"
#include "app/controls/StyledLabel.h"
#include "settings/SettingsManager.h"

#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace cv {

SettingsPane::SettingsPane(SettingsManager& settings, QWidget* parent)
    : QWidget(parent), m_settings(settings), m_form(new QFormLayout)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 22, 28, 12);
    m_form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_form->setFormAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_form->setHorizontalSpacing(16);
    m_form->setVerticalSpacing(10);
    m_form->setFieldGrowthPolicy(QFormLayout::ExpandingFieldsGrow);
    m_form->setRowWrapPolicy(QFormLayout::DontWrapRows);
    layout->addLayout(m_form);
    layout->addStretch(1);
}

void SettingsPane::viewDidLoad()
{
    setDefaults();
    setLockStatus(m_settings.isLocked());
    connect(&m_settings, &SettingsManager::authChanged, this,
            [this] { setLockStatus(m_settings.isLocked()); });
}

void SettingsPane::addRow(const QString& caption, QWidget* control)
{
    QLabel* label = styledLabel(this, 13, Palette::text(), Qt::AlignRight | Qt::AlignVCenter);
    label->setText(caption);
    m_form->addRow(label, control);
}

void SettingsPane::addRow(const QString& caption, QLayout* controls)
{
    QLabel* label = styledLabel(this, 13, Palette::text(), Qt::AlignRight | Qt::AlignVCenter);
    label->setText(caption);
    m_form->addRow(label, controls);
}

QLabel* SettingsPane::addHint(const QString& text)
{
    QLabel* hint = styledLabel(this, 11, Palette::secondaryText(), Qt::AlignLeft | Qt::AlignTop);
    hint->setText(text);
    hint->setWordWrap(true);
    // A wrapped label asks for a narrow column; the hint may take the whole width of the form.
    hint->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    m_form->addRow(QString(), hint);
    return hint;
}

} // namespace cv
