#include "app/controls/TransitionAnimator.h"

#include <QEvent>
#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>

namespace cv {

namespace {

// Runs an opacity animation on widget; done() runs at the end. The effect is removed afterwards,
// since an opacity effect makes every repaint of the subtree go through an offscreen buffer.
template <typename Done> void fade(QWidget* widget, double from, double to, Done done)
{
    auto* effect = new QGraphicsOpacityEffect(widget);
    effect->setOpacity(from);
    widget->setGraphicsEffect(effect);
    auto* animation = new QPropertyAnimation(effect, "opacity", widget);
    animation->setDuration(TransitionAnimator::kDurationMs);
    animation->setStartValue(from);
    animation->setEndValue(to);
    QObject::connect(animation, &QPropertyAnimation::finished, widget, [widget, done] {
        widget->setGraphicsEffect(nullptr);
        done();
    });
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

} // namespace

TransitionAnimator::TransitionAnimator(QWidget* destination, QWidget* source)
    : QObject(destination), m_destination(destination)
{
    source->installEventFilter(this);
}

void TransitionAnimator::animatePresentation(QWidget* destination, QWidget* source)
{
    destination->setParent(source);
    destination->setGeometry(source->rect());
    destination->setAutoFillBackground(true);
    new TransitionAnimator(destination, source); // owned by destination; keeps it sized
    destination->raise();
    destination->show();
    fade(destination, 0.0, 1.0, [] {});
}

void TransitionAnimator::animateDismissal(QWidget* destination)
{
    destination->setEnabled(false); // no second click while it fades
    fade(destination, 1.0, 0.0, [destination] { destination->deleteLater(); });
}

bool TransitionAnimator::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize && m_destination)
        m_destination->setGeometry(static_cast<QWidget*>(watched)->rect());
    return QObject::eventFilter(watched, event);
}

} // namespace cv
