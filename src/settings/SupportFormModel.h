#pragma once

#include "settings/SupportMessageSender.h"

#include <QObject>
#include <QString>
#include <QStringView>

namespace cv {

// What the Help pane's support form decides, without widgets: the fields, whether the name and the
// e-mail address are valid (the colour of their borders), whether Send is enabled, and the send
// itself. The pane shows the fields, passes every change on, and follows the signals.
//
// A field that holds nothing but blanks is invalid. The name is valid otherwise; the e-mail address
// must also match kEmailPattern as a whole, ignoring letter case; blanks count there, so an address
// with a leading blank is invalid. Subject and message are not checked; an empty message can be
// sent. Send is enabled while both fields are valid, the support service is configured and no
// message is on its way. What is sent is outgoingMessage(), the same value the pane shows before Send, so
// that nothing goes out that the user was not shown (the version line, the OS version and the
// machine's model are sent along with what the user typed).
class SupportFormModel : public QObject
{
    Q_OBJECT

public:
    enum class FieldState
    {
        Unchecked, // not validated yet: the border has no colour
        Valid,     // green border
        Invalid,   // red border
    };

    // The border of a validated field: 0.5 points wide, corners of radius 5; green is this colour,
    // red is the desktop's red.
    static constexpr double kBorderWidth = 0.5;
    static constexpr double kBorderRadius = 5.0;
    static constexpr int kValidRed = 143;
    static constexpr int kValidGreen = 202;
    static constexpr int kValidBlue = 67;

    // The expression an e-mail address must match (whole text, letter case ignored).
    static constexpr QStringView kEmailPattern =
        uR"re((?:[a-z0-9!#$%\&'*+/=?\^_`{|}~-]+(?:\.[a-z0-9!#$%\&'*+/=?\^_`{|}~-]+)*|"(?:[\x01-\x08\x0b\x0c\x0e-\x1f\x21\x23-\x5b\x5d-\x7f]|\\[\x01-\x09\x0b\x0c\x0e-\x7f])*")@(?:(?:[a-z0-9](?:[a-z0-9-]*[a-z0-9])?\.)+[a-z0-9](?:[a-z0-9-]*[a-z0-9])?|\[(?:(?:25[0-5]|2[0-4][0-9]|[01]?[0-9][0-9]?)\.){3}(?:25[0-5]|2[0-4][0-9]|[01]?[0-9][0-9]?|[a-z0-9-]*[a-z0-9]:(?:[\x01-\x08\x0b\x0c\x0e-\x1f\x21-\x5a\x53-\x7f]|\\[\x01-\x09\x0b\x0c\x0e-\x7f])+)\]))re";

    // The subject starts as the version line of this build.
    explicit SupportFormModel(SupportMessageSender& sender, QObject* parent = nullptr);

    // "Rendmark Mac 2® - 1.0.0 (1)" and a line break: the product, the version and the build.
    static QString versionLine(const QString& version, const QString& build);
    static QString versionLine(); // of this build

    static bool isBlank(QStringView text);
    static bool validateEmail(const QString& text);
    static FieldState nameStateFor(const QString& name);
    static FieldState emailStateFor(const QString& email);

    // Setting the name or the e-mail address validates it (the pane calls them on every change,
    // and with the name and address it already knows when it opens).
    void setName(const QString& name);
    void setEmail(const QString& email);
    void setSubject(const QString& subject);
    void setMessage(const QString& message);
    const QString& name() const { return m_name; }
    const QString& email() const { return m_email; }
    const QString& subject() const { return m_subject; }
    const QString& message() const { return m_message; }

    FieldState nameState() const { return m_nameState; }
    FieldState emailState() const { return m_emailState; }
    bool canSend() const;

    // The machine's facts that go with the message (VarSystemInfo's OS version and model); the
    // pane sets them when it opens, so that they are shown before Send.
    void setMachineFacts(const QString& osVersion, const QString& modelIdentifier);
    // The message exactly as send() would send it: the fields, the version line and the facts.
    // SupportMessageSender::formFields(outgoingMessage()) is everything the request carries.
    SupportMessage outgoingMessage() const;

    // Sends outgoingMessage(); false (nothing is sent) while Send is disabled. The sender's finished()
    // tells the outcome; the fields keep their contents either way.
    bool send();

    SupportMessageSender& sender() { return m_sender; }

signals:
    void nameStateChanged(cv::SupportFormModel::FieldState state);
    void emailStateChanged(cv::SupportFormModel::FieldState state);
    void canSendChanged(bool canSend);
    // Anything that outgoingMessage() is made of changed.
    void messageChanged();

private:
    void updateCanSend();

    SupportMessageSender& m_sender;
    QString m_name;
    QString m_email;
    QString m_subject;
    QString m_message;
    QString m_osVersion;
    QString m_modelIdentifier;
    FieldState m_nameState = FieldState::Unchecked;
    FieldState m_emailState = FieldState::Unchecked;
    bool m_canSend = false;
};

} // namespace cv
