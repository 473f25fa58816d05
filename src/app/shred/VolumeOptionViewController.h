#pragma once

#include <QDialog>
#include <QString>

class QLabel;

namespace cv {

// Told what the user wants done with a dropped volume.
class VolumeOptionDelegate
{
public:
    virtual ~VolumeOptionDelegate() = default;
    // "freespace", "delete" or "complete".
    virtual void finishedVolumeWithOption(const QString& option) = 0;
    virtual void canceledVolumeOptions() = 0;
};

// The sheet that asks what to do with a dropped volume: wipe its free space only, delete its
// files, or erase it completely.
class VolumeOptionViewController : public QDialog
{
    Q_OBJECT

public:
    explicit VolumeOptionViewController(QWidget* parent = nullptr);

    VolumeOptionDelegate* delegate() const { return m_delegate; }
    void setDelegate(VolumeOptionDelegate* delegate) { m_delegate = delegate; }
    // For a volume the system runs from: deleting its files and erasing it are not offered (nor
    // taken), and the sheet says why; wiping its free space stays.
    void setFreeSpaceOnly(bool freeSpaceOnly);
    bool freeSpaceOnly() const { return m_freeSpaceOnly; }

    void optionFreeSpace();
    void optionDeleteFiles();
    void optionCompleteErase();
    void cancel();

protected:
    void reject() override; // Escape counts as cancel

private:
    void finish(const QString& option);

    VolumeOptionDelegate* m_delegate = nullptr;
    bool m_freeSpaceOnly = false;
    QWidget* m_deleteButton = nullptr;
    QWidget* m_completeButton = nullptr;
    QLabel* m_systemNote = nullptr;
};

} // namespace cv
