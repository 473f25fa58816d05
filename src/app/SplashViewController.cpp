#include "app/SplashViewController.h"

#include "app/Palette.h"

#include <QCloseEvent>
#include <QIcon>
#include <QPainter>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace cv {

SplashViewController::SplashViewController(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint)
{
    setObjectName(u"SplashViewController"_s);
    setFixedSize(420, 260);
}

void SplashViewController::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    QTimer::singleShot(0, this, &QWidget::close);
}

void SplashViewController::closeEvent(QCloseEvent* event)
{
    if (!m_shownApp) {
        m_shownApp = true;
        emit showApp();
    }
    event->accept();
}

void SplashViewController::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Palette::headerBlue());
    QIcon(u":/images/cindervault.svg"_s).paint(&painter, QRect(width() / 2 - 48, 50, 96, 96));
    QFont font = this->font();
    font.setPixelSize(26);
    font.setWeight(QFont::Light);
    painter.setFont(font);
    painter.setPen(Palette::onAccent());
    painter.drawText(QRect(0, 160, width(), 40), Qt::AlignCenter, u"Cindervault"_s);
}

} // namespace cv
