#include "settings/SupportFormModel.h"

#include "settings/SupportMessageSender.h"

#include <QRegularExpression>

#include <algorithm>

using namespace Qt::StringLiterals;

#ifndef CINDERVAULT_BUILD_NUMBER
#define CINDERVAULT_BUILD_NUMBER "1"
#endif

namespace cv {

SupportFormModel::SupportFormModel(SupportMessageSender& sender, QObject* parent)
    : QObject(parent), m_sender(sender), m_subject(versionLine())
{
    connect(&m_sender, &SupportMessageSender::sendingChanged, this, &SupportFormModel::updateCanSend);
}

QString SupportFormModel::versionLine(const QString& version, const QString& build)
{
    return u"Rendmark Mac 2® - "_s + version + u" ("_s + build + u")\n"_s;
}

QString SupportFormModel::versionLine()
{
    return versionLine(QStringLiteral(CINDERVAULT_VERSION), QStringLiteral(CINDERVAULT_BUILD_NUMBER));
}

bool SupportFormModel::isBlank(QStringView text)
{
    return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isSpace(); });
}

bool SupportFormModel::validateEmail(const QString& text)
{
    static const QRegularExpression expression(QRegularExpression::anchoredPattern(kEmailPattern),
                                               QRegularExpression::CaseInsensitiveOption);
    return expression.match(text).hasMatch();
}

SupportFormModel::FieldState SupportFormModel::nameStateFor(const QString& name)
{
    return isBlank(name) ? FieldState::Invalid : FieldState::Valid;
}

SupportFormModel::FieldState SupportFormModel::emailStateFor(const QString& email)
{
    return isBlank(email) || !validateEmail(email) ? FieldState::Invalid : FieldState::Valid;
}

void SupportFormModel::setName(const QString& name)
{
    m_name = name;
    emit messageChanged();
    if (const FieldState state = nameStateFor(name); state != m_nameState) {
        m_nameState = state;
        emit nameStateChanged(state);
    }
    updateCanSend();
}

void SupportFormModel::setEmail(const QString& email)
{
    m_email = email;
    emit messageChanged();
    if (const FieldState state = emailStateFor(email); state != m_emailState) {
        m_emailState = state;
        emit emailStateChanged(state);
    }
    updateCanSend();
}

bool SupportFormModel::canSend() const
{
    return m_nameState == FieldState::Valid && m_emailState == FieldState::Valid && m_sender.isConfigured() &&
           !m_sender.isSending();
}

void SupportFormModel::updateCanSend()
{
    if (const bool can = canSend(); can != m_canSend) {
        m_canSend = can;
        emit canSendChanged(can);
    }
}

void SupportFormModel::setSubject(const QString& subject)
{
    m_subject = subject;
    emit messageChanged();
}

void SupportFormModel::setMessage(const QString& message)
{
    m_message = message;
    emit messageChanged();
}

void SupportFormModel::setMachineFacts(const QString& osVersion, const QString& modelIdentifier)
{
    m_osVersion = osVersion;
    m_modelIdentifier = modelIdentifier;
    emit messageChanged();
}

SupportMessage SupportFormModel::outgoingMessage() const
{
    return {m_name, m_email, m_subject, m_message, versionLine(), m_osVersion, m_modelIdentifier};
}

bool SupportFormModel::send()
{
    if (!canSend())
        return false;
    return m_sender.send(outgoingMessage());
}

} // namespace cv
