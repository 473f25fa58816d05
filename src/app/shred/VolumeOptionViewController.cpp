#include "app/shred/VolumeOptionViewController.h"

#include "app/controls/PillButton.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

QLabel* makeLabel(const QString& text, int pixelSize, const QColor& color, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    label->setFont(font);
    label->setWordWrap(true);
    label->setStyleSheet(u"color: %1;"_s.arg(color.name()));
    return label;
}

} // namespace

VolumeOptionViewController::VolumeOptionViewController(QWidget* parent) : QDialog(parent)
{
    setObjectName(u"VolumeOptionViewController"_s);
    setWindowTitle(tr("Volume options"));
    setWindowModality(Qt::WindowModal);
    setMinimumWidth(520);
    setStyleSheet(u"QDialog { background: white; }"_s);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 20);
    layout->setSpacing(14);
    layout->addWidget(makeLabel(tr("What should happen to the volume?"), 18, QColor(85, 85, 85), this));

    auto* grid = new QGridLayout;
    grid->setColumnMinimumWidth(1, 240);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(10);
    struct Row
    {
        QString title;
        QString explanation;
        void (VolumeOptionViewController::*action)();
    };
    const Row rows[] = {
        {tr("Freespace Erase only"), tr("Overwrites the free space; the files on the volume stay."),
         &VolumeOptionViewController::optionFreeSpace},
        {tr("Only delete files on Volume"), tr("Shreds every file on the volume; the volume stays."),
         &VolumeOptionViewController::optionDeleteFiles},
        {tr("Complete Erase"),
         tr("Overwrites the free space, shreds every file and formats the volume afresh."),
         &VolumeOptionViewController::optionCompleteErase},
    };
    int line = 0;
    for (const Row& row : rows) {
        auto* button = new PillButton(row.title, PillButton::Style::Filled, this);
        button->setMinimumWidth(std::max(220, button->sizeHint().width()));
        button->setFixedHeight(34);
        connect(button, &PillButton::clicked, this, row.action);
        grid->addWidget(button, line, 0);
        grid->addWidget(makeLabel(row.explanation, 12, QColor(119, 119, 119), this), line, 1);
        if (row.action == &VolumeOptionViewController::optionDeleteFiles)
            m_deleteButton = button;
        if (row.action == &VolumeOptionViewController::optionCompleteErase)
            m_completeButton = button;
        ++line;
    }
    layout->addLayout(grid);
    m_systemNote = makeLabel(tr("The system runs from this volume: its files cannot be deleted and it cannot "
                                "be erased. Only its free space can be wiped."),
                             12, QColor(200, 60, 50), this);
    m_systemNote->setObjectName(u"systemNote"_s);
    m_systemNote->hide();
    layout->addWidget(m_systemNote);

    auto* cancelButton = new PillButton(tr("Cancel"), PillButton::Style::Outlined, this);
    cancelButton->setObjectName(u"cancel"_s);
    connect(cancelButton, &PillButton::clicked, this, &VolumeOptionViewController::cancel);
    layout->addWidget(cancelButton, 0, Qt::AlignRight);
}

void VolumeOptionViewController::setFreeSpaceOnly(bool freeSpaceOnly)
{
    m_freeSpaceOnly = freeSpaceOnly;
    m_deleteButton->setEnabled(!freeSpaceOnly);
    m_completeButton->setEnabled(!freeSpaceOnly);
    m_systemNote->setVisible(freeSpaceOnly);
}

void VolumeOptionViewController::finish(const QString& option)
{
    if (m_delegate)
        m_delegate->finishedVolumeWithOption(option);
    QDialog::accept();
}

void VolumeOptionViewController::optionFreeSpace()
{
    finish(u"freespace"_s);
}

void VolumeOptionViewController::optionDeleteFiles()
{
    if (!m_freeSpaceOnly)
        finish(u"delete"_s);
}

void VolumeOptionViewController::optionCompleteErase()
{
    if (!m_freeSpaceOnly)
        finish(u"complete"_s);
}

void VolumeOptionViewController::cancel()
{
    if (m_delegate)
        m_delegate->canceledVolumeOptions();
    QDialog::reject();
}

void VolumeOptionViewController::reject()
{
    cancel();
}

} // namespace cv
