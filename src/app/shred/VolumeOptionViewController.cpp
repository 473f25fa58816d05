#include "app/shred/VolumeOptionViewController.h"

#include "app/Palette.h"
#include "app/controls/PillButton.h"
#include "app/controls/StyledLabel.h"

#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

QLabel* makeLabel(const QString& text, int pixelSize, const QColor& color, QWidget* parent)
{
    QLabel* label = styledLabel(parent, pixelSize, color);
    label->setText(text);
    label->setWordWrap(true);
    return label;
}

} // namespace

VolumeOptionViewController::VolumeOptionViewController(QWidget* parent) : QDialog(parent)
{
    setObjectName(u"VolumeOptionViewController"_s);
    setWindowTitle(tr("Volume options"));
    setWindowModality(Qt::WindowModal);
    setMinimumWidth(520);
    setStyleSheet(u"QDialog { background: %1; }"_s.arg(Palette::css(Palette::base())));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 20);
    layout->setSpacing(14);
    layout->addWidget(makeLabel(tr("What should happen to the volume?"), 18, Palette::text(), this));

    auto* grid = new QGridLayout;
    grid->setColumnMinimumWidth(1, 240);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(10);
    struct Row
    {
        VolumeOption option;
        const char* name;
        QString title;
        QString explanation;
    };
    const Row rows[] = {
        {VolumeOption::FreeSpace, "freeSpace", tr("Freespace Erase only"),
         tr("Overwrites the free space; the files on the volume stay.")},
        {VolumeOption::DeleteFiles, "deleteFiles", tr("Only delete files on Volume"),
         tr("Shreds every file on the volume; the volume stays.")},
        {VolumeOption::CompleteErase, "completeErase", tr("Complete Erase"),
         tr("Overwrites the free space, shreds every file and formats the volume afresh.")},
    };
    int line = 0;
    for (const Row& row : rows) {
        auto* button = new PillButton(row.title, PillButton::Style::Filled, this);
        button->setObjectName(QLatin1StringView(row.name));
        button->setMinimumWidth(std::max(220, button->sizeHint().width()));
        button->setFixedHeight(34);
        connect(button, &PillButton::clicked, this, [this, option = row.option] { choose(option); });
        grid->addWidget(button, line, 0);
        grid->addWidget(makeLabel(row.explanation, 12, Palette::secondaryText(), this), line, 1);
        if (row.option == VolumeOption::DeleteFiles)
            m_deleteButton = button;
        if (row.option == VolumeOption::CompleteErase)
            m_completeButton = button;
        ++line;
    }
    layout->addLayout(grid);
    m_systemNote = makeLabel(tr("The system runs from this volume: its files cannot be deleted and it cannot "
                                "be erased. Only its free space can be wiped."),
                             12, Palette::failure(), this);
    m_systemNote->setObjectName(u"systemNote"_s);
    m_systemNote->hide();
    layout->addWidget(m_systemNote);

    auto* cancelButton = new PillButton(tr("Cancel"), PillButton::Style::Outlined, this);
    cancelButton->setObjectName(u"cancel"_s);
    connect(cancelButton, &PillButton::clicked, this, &VolumeOptionViewController::reject);
    layout->addWidget(cancelButton, 0, Qt::AlignRight);
}

void VolumeOptionViewController::setFreeSpaceOnly(bool freeSpaceOnly)
{
    m_freeSpaceOnly = freeSpaceOnly;
    m_deleteButton->setEnabled(!freeSpaceOnly);
    m_completeButton->setEnabled(!freeSpaceOnly);
    m_systemNote->setVisible(freeSpaceOnly);
}

void VolumeOptionViewController::choose(VolumeOption option)
{
    if (m_freeSpaceOnly && option != VolumeOption::FreeSpace)
        return;
    emit optionChosen(option);
    QDialog::accept();
}

void VolumeOptionViewController::reject()
{
    emit cancelled();
    QDialog::reject();
}

} // namespace cv
