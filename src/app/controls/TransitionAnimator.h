#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace cv {

// Presents a screen over another with a fade: the presented screen becomes a child covering the
// presenting one (and follows its size), fading in over half a second; dismissal fades it out and
// deletes it.
class TransitionAnimator : public QObject
{
    Q_OBJECT

public:
    static constexpr int kDurationMs = 500;

    // destination becomes a child of source, covering it.
    static void animatePresentation(QWidget* destination, QWidget* source);
    // Fades destination out, then deletes it.
    static void animateDismissal(QWidget* destination);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TransitionAnimator(QWidget* destination, QWidget* source);
    QPointer<QWidget> m_destination;
};

} // namespace cv
