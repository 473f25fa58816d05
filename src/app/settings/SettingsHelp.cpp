#include "app/settings/SettingsHelp.h"

#include "app/Palette.h"
#include "app/controls/StyledLabel.h"
#include "app/dialogs/WarningAlert.h"
#include "reports/VarSystemInfo.h"
#include "settings/SupportMessageSender.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace cv {

SettingsHelp::SettingsHelp(SettingsManager& settings, SupportMessageSender* sender, QWidget* parent)
    : SettingsPane(settings, parent), m_sender(sender)
{
    setObjectName(u"SettingsHelp"_s);
    m_form->setVerticalSpacing(8);

    m_nameField = new QLineEdit(this);
    m_nameField->setObjectName(u"nameField"_s);
    addRow(tr("Name:"), m_nameField);
    m_emailField = new QLineEdit(this);
    m_emailField->setObjectName(u"emailField"_s);
    addRow(tr("E-mail:"), m_emailField);
    m_subjectField = new QLineEdit(this);
    m_subjectField->setObjectName(u"subjectField"_s);
    addRow(tr("Subject:"), m_subjectField);
    m_messageField = new QPlainTextEdit(this);
    m_messageField->setObjectName(u"messageField"_s);
    m_messageField->setMinimumHeight(110);
    addRow(tr("Message:"), m_messageField);

    // Everything the request carries, as it will be sent: what the user typed, and what goes with it.
    addHint(tr("Exactly this is sent, with the facts about your computer:"));
    m_previewField = new QPlainTextEdit(this);
    m_previewField->setObjectName(u"sendPreview"_s);
    m_previewField->setReadOnly(true);
    m_previewField->setMinimumHeight(90);
    addRow(tr("To be sent:"), m_previewField);

    m_statusLabel = styledLabel(this, 11, Palette::secondaryText(), Qt::AlignLeft | Qt::AlignVCenter);
    m_statusLabel->setObjectName(u"helpStatus"_s);
    m_statusLabel->setWordWrap(true);
    m_sendButton = new QPushButton(tr("Send"), this);
    m_sendButton->setObjectName(u"sendButton"_s);
    m_sendButton->setEnabled(false);
    connect(m_sendButton, &QPushButton::clicked, this, &SettingsHelp::send);
    auto* sendRow = new QHBoxLayout;
    sendRow->addWidget(m_statusLabel, 1);
    sendRow->addWidget(m_sendButton, 0, Qt::AlignTop);
    m_form->addRow(QString(), sendRow);

    if (!m_sender) {
        m_statusLabel->setText(tr("Messages cannot be sent from this build. Help is in the README that comes "
                                  "with Cindervault."));
        for (QWidget* field : {static_cast<QWidget*>(m_nameField), static_cast<QWidget*>(m_emailField),
                               static_cast<QWidget*>(m_subjectField), static_cast<QWidget*>(m_messageField),
                               static_cast<QWidget*>(m_previewField)})
            field->setEnabled(false);
        return;
    }
    m_model = new SupportFormModel(*m_sender, this);
    // The facts are gathered once, so that what Send sends is what the preview showed.
    const VarSystemInfo facts;
    m_model->setMachineFacts(facts.sysOSVersion(), facts.sysModelID());
    connect(m_model, &SupportFormModel::messageChanged, this, &SettingsHelp::showPreview);
    showPreview();
    if (!m_sender->isConfigured())
        m_statusLabel->setText(endpointProblem() + u' ' +
                               tr("Help is in the README that comes with Cindervault."));
    m_subjectField->setText(m_model->subject());
    connect(m_nameField, &QLineEdit::textChanged, m_model, &SupportFormModel::setName);
    connect(m_emailField, &QLineEdit::textChanged, m_model, &SupportFormModel::setEmail);
    connect(m_subjectField, &QLineEdit::textChanged, m_model, &SupportFormModel::setSubject);
    connect(m_messageField, &QPlainTextEdit::textChanged, this,
            [this] { m_model->setMessage(m_messageField->toPlainText()); });
    connect(m_model, &SupportFormModel::nameStateChanged, this,
            [this](SupportFormModel::FieldState state) { m_nameField->setStyleSheet(borderStyle(state)); });
    connect(m_model, &SupportFormModel::emailStateChanged, this,
            [this](SupportFormModel::FieldState state) { m_emailField->setStyleSheet(borderStyle(state)); });
    connect(m_model, &SupportFormModel::canSendChanged, m_sendButton, &QPushButton::setEnabled);
    connect(m_sender, &SupportMessageSender::finished, this, &SettingsHelp::showFinished);

    // The name the system knows for the user is filled in (and checked) at once.
    const QString fullName = VarSystemInfo().sysFullUserName();
    if (!fullName.trimmed().isEmpty())
        m_nameField->setText(fullName);
}

QString SettingsHelp::borderStyle(SupportFormModel::FieldState state)
{
    if (state == SupportFormModel::FieldState::Unchecked)
        return {};
    const QColor colour =
        state == SupportFormModel::FieldState::Valid
            ? Palette::onSurface(QColor(SupportFormModel::kValidRed, SupportFormModel::kValidGreen,
                                        SupportFormModel::kValidBlue),
                                 Palette::kOutlineContrast)
            : Palette::failure();
    return u"QLineEdit { border: 1px solid %1; border-radius: %2px; padding: 2px 4px; }"_s.arg(
        Palette::css(colour), QString::number(SupportFormModel::kBorderRadius));
}

QString SettingsHelp::previewText(const SupportMessage& message, const QString& destination)
{
    QString text = tr("To: %1").arg(destination) + u'\n';
    for (const auto& [key, value] : SupportMessageSender::formFields(message)) {
        // A value of several lines starts on a line of its own.
        text += key + u':' + (value.contains(u'\n') ? u"\n"_s : u" "_s) + value;
        if (!text.endsWith(u'\n'))
            text += u'\n';
    }
    return text;
}

QString SettingsHelp::endpointProblem() const
{
    // Made now, in the window's language: the sender's endpoint was made at start-up, before the
    // translation tables were loaded.
    const ServiceEndpoints::Endpoint& endpoint = m_sender->endpoint();
    if (endpoint.state == ServiceEndpoints::Endpoint::State::NotConfigured)
        return ServiceEndpoints::supportServiceFrom(QString()).problem;
    return endpoint.problem;
}

void SettingsHelp::showPreview()
{
    const QString text = previewText(m_model->outgoingMessage(), m_sender->endpoint().url.toString());
    if (m_previewField->toPlainText() != text)
        m_previewField->setPlainText(text);
}

void SettingsHelp::send()
{
    if (m_model)
        m_model->send();
}

void SettingsHelp::showFinished(bool success, const QString& reason)
{
    if (success) {
        auto* sheet = new QMessageBox(QMessageBox::Information, tr("Success"), tr("Success"),
                                      QMessageBox::NoButton, window());
        sheet->setObjectName(u"supportSuccess"_s);
        sheet->setAttribute(Qt::WA_DeleteOnClose);
        sheet->setWindowModality(Qt::WindowModal);
        sheet->setInformativeText(tr("Message was sent. Thank you"));
        sheet->addButton(tr("Ok"), QMessageBox::AcceptRole);
        sheet->open();
        return;
    }
    QString informative = tr("Please try again later.");
    if (!reason.isEmpty())
        informative = reason + u"\n"_s + informative;
    auto* alert = new WarningAlert(tr("Error"), informative, {tr("Ok")}, window());
    alert->setObjectName(u"supportError"_s);
    alert->open();
}

} // namespace cv
