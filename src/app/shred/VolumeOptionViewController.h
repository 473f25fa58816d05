#pragma once

#include "job/VolumeOption.h"

#include <QDialog>

class QLabel;

namespace cv {

class PillButton;

// The sheet that asks what to do with a dropped volume: wipe its free space only, delete its
// files, or erase it completely. It only reads its buttons: the answer goes out as optionChosen()
// or cancelled() (Escape counts as cancel), and the shred screen decides.
class VolumeOptionViewController : public QDialog
{
    Q_OBJECT

public:
    explicit VolumeOptionViewController(QWidget* parent = nullptr);

    // For a volume the system runs from: deleting its files and erasing it are not offered (nor
    // taken), and the sheet says why; wiping its free space stays.
    void setFreeSpaceOnly(bool freeSpaceOnly);

signals:
    void optionChosen(VolumeOption option);
    void cancelled();

protected:
    void reject() override;

private:
    void choose(VolumeOption option);

    bool m_freeSpaceOnly = false;
    PillButton* m_deleteButton = nullptr;
    PillButton* m_completeButton = nullptr;
    QLabel* m_systemNote = nullptr;
};

} // namespace cv
