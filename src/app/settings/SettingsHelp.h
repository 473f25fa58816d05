#pragma once

#include "app/settings/SettingsPane.h"
#include "settings/SupportFormModel.h"

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace cv {

class SupportMessageSender;

// The Help pane: the support form. Name and e-mail address show by their border whether they are
// valid; Send is enabled while both are and no message is on its way; the outcome comes as a
// sheet. Below the fields a read-only preview shows every field of the request as it will be
// sent, the version and machine facts that go with the message included. The model (SupportFormModel) makes
// the decisions. A build without a support service says so and where to find help. The PIN lock does not
// cover this pane.
class SettingsHelp : public SettingsPane
{
    Q_OBJECT

public:
    // sender: null in a build without a support service.
    SettingsHelp(SettingsManager& settings, SupportMessageSender* sender, QWidget* parent = nullptr);

    const SupportFormModel* model() const { return m_model; }

    void setDefaults() override {}
    void setLockStatus(bool) override {}

    void send();

    // The style of a field's border for its state.
    static QString borderStyle(SupportFormModel::FieldState state);
    // The preview: the destination, then each field of the request as "key: value".
    static QString previewText(const SupportMessage& message, const QString& destination);

private:
    void showFinished(bool success, const QString& reason);
    void showPreview();
    // Why no message can be sent, in the window's language.
    QString endpointProblem() const;

    SupportMessageSender* m_sender;
    SupportFormModel* m_model = nullptr;
    QLineEdit* m_nameField;
    QLineEdit* m_emailField;
    QLineEdit* m_subjectField;
    QPlainTextEdit* m_messageField;
    QPlainTextEdit* m_previewField;
    QPushButton* m_sendButton;
    QLabel* m_statusLabel;
};

} // namespace cv
