#pragma once

#include <QWidget>

namespace cv {

// The page of a tab whose screen this version does not have yet: its title on the plain background.
class PlaceholderPage : public QWidget
{
    Q_OBJECT

public:
    explicit PlaceholderPage(const QString& title, QWidget* parent = nullptr);
};

} // namespace cv
