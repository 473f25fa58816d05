#pragma once

#include <QMessageBox>
#include <QStringList>

namespace cv {

// A warning sheet with a message, an informative text and buttons in the order given (Return picks
// the first, Escape the last), window-modal, deleted when closed. For refusals that need no
// answer beyond closing ("Only 1 volume is supported at a time").
class WarningAlert : public QMessageBox
{
    Q_OBJECT

public:
    WarningAlert(const QString& message, const QString& informative, const QStringList& buttons,
                 QWidget* parent);
};

} // namespace cv
