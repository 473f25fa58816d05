#include "app/controls/ClosingKeys.h"

#include <QKeyEvent>
#include <QShortcut>
#include <QWidget>

namespace cv {

namespace {

bool isClosingKey(const QKeyEvent& key)
{
    return (key.key() == Qt::Key_Escape && key.modifiers() == Qt::NoModifier) ||
           key.matches(QKeySequence::Close);
}

} // namespace

ClosingKeys::ClosingKeys(QWidget* window) : QObject(window), m_window(window)
{
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Escape), QKeySequence(QKeySequence::Close)}) {
        auto* shortcut = new QShortcut(keys, window);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, window, &QWidget::close);
    }
    window->installEventFilter(this);
}

void ClosingKeys::install(QWidget* window)
{
    new ClosingKeys(window);
}

bool ClosingKeys::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window && event->type() == QEvent::KeyPress &&
        isClosingKey(*static_cast<QKeyEvent*>(event))) {
        m_window->close();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace cv
