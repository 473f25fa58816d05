#pragma once

#include <QMessageBox>

namespace cv {

// The question before the settings are reset: every setting, the language and the PIN go back to
// their defaults, which cannot be undone. "Reset" first, "Cancel" second; Return and Escape both
// mean Cancel. Window-modal, deleted when closed; the caller hears confirmed() or cancelled().
class ResetSettingsDialog : public QMessageBox
{
    Q_OBJECT

public:
    explicit ResetSettingsDialog(QWidget* parent);

signals:
    void confirmed();
    void cancelled();

private:
    QAbstractButton* m_resetButton;
};

} // namespace cv
