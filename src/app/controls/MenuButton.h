#pragma once

#include <QAbstractButton>

namespace cv {

// One of the five tab buttons of the main menu: a flat button in the header's blue with a white
// title, lightened a little while the pointer is over it and a little more while its tab is shown.
class MenuButton : public QAbstractButton
{
    Q_OBJECT

public:
    explicit MenuButton(const QString& title, QWidget* parent = nullptr);

    bool active() const { return m_active; }
    void setActive(bool active);
    bool hover() const { return m_hover; }
    void setHover(bool hover);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    bool m_active = false;
    bool m_hover = false;
};

} // namespace cv
