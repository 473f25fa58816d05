#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

class QLabel;
class QVBoxLayout;

namespace cv {

class DecorImage;

// The shred screen's empty drop zone: pictures of what can be dropped, which move while something
// is dragged over the zone, the prompt, and a link to browse for files (the upload picture is a
// button to the same end).
class DropPrompt : public QWidget
{
    Q_OBJECT

public:
    explicit DropPrompt(QWidget* parent = nullptr);

    // The pictures move, endlessly, until stopAnimation puts them back in place.
    void startAnimation();
    void stopAnimation();

signals:
    // The user wants to pick files and folders in a panel.
    void browseRequested();

private:
    void addImages(QVBoxLayout* layout);
    void showSubLabel();

    QList<QPointer<QObject>> m_animations;
    QLabel* m_promptSub = nullptr;
    DecorImage* m_imageUsb = nullptr;
    DecorImage* m_imageHd = nullptr;
    DecorImage* m_imageFile = nullptr;
    DecorImage* m_imageUpload = nullptr;
};

} // namespace cv
