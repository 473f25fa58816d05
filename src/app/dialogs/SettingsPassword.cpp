#include "app/dialogs/SettingsPassword.h"

#include "app/Palette.h"
#include "app/controls/StyledLabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>

using namespace Qt::StringLiterals;

namespace cv {

SettingsPassword::SettingsPassword(SettingsManager& settings, NotificationManager* notifications,
                                   QWidget* parent, bool canNotCancel)
    : QDialog(parent), m_entry(settings, notifications, canNotCancel), m_pinView(new QWidget(this)),
      m_changeView(new QWidget(this))
{
    setObjectName(u"SettingsPassword"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setWindowTitle(tr("PIN"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 24, 28, 20);
    layout->setSpacing(14);
    // The dialog takes the size its content asks for, also when the error line comes and goes.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    m_titleLabel = styledLabel(this, 15, Palette::text(), Qt::AlignCenter, QFont::DemiBold);
    m_titleLabel->setObjectName(u"titleLabel"_s);
    m_titleLabel->setWordWrap(true);
    m_titleLabel->setFixedWidth(300);
    layout->addWidget(m_titleLabel);

    m_pinView->setObjectName(u"pinView"_s);
    auto* pinLayout = new QHBoxLayout(m_pinView);
    pinLayout->setContentsMargins(0, 0, 0, 0);
    pinLayout->setSpacing(12);
    pinLayout->addStretch(1);
    const char* names[] = {"first", "second", "third", "fourth"};
    for (int i = 0; i < PinEntry::kLength; ++i) {
        auto* field = new QLineEdit(m_pinView);
        field->setObjectName(QLatin1StringView(names[i]));
        field->setEchoMode(QLineEdit::Password);
        field->setAlignment(Qt::AlignCenter);
        field->setFixedSize(46, 46);
        QFont font = field->font();
        font.setPixelSize(20);
        field->setFont(font);
        connect(field, &QLineEdit::textChanged, this, [this, i] { controlTextDidChange(i); });
        m_fields[static_cast<std::size_t>(i)] = field;
        pinLayout->addWidget(field);
    }
    pinLayout->addStretch(1);
    layout->addWidget(m_pinView);

    m_changeView->setObjectName(u"changeView"_s);
    auto* changeLayout = new QHBoxLayout(m_changeView);
    changeLayout->setContentsMargins(0, 0, 0, 0);
    auto* removeButton = new QPushButton(tr("Remove PIN"), m_changeView);
    removeButton->setObjectName(u"removePinButton"_s);
    // Removing the PIN is never what Return does: the harmless choice is the default.
    removeButton->setAutoDefault(false);
    connect(removeButton, &QPushButton::clicked, this, [this] {
        m_entry.removePin();
        accept();
    });
    auto* newButton = new QPushButton(tr("Set a new PIN"), m_changeView);
    newButton->setObjectName(u"newPinButton"_s);
    newButton->setDefault(true);
    m_newPinButton = newButton;
    connect(newButton, &QPushButton::clicked, this, [this] {
        m_entry.startNewPin();
        showMode();
        m_fields[0]->setFocus();
    });
    changeLayout->addStretch(1);
    changeLayout->addWidget(removeButton);
    changeLayout->addWidget(newButton);
    changeLayout->addStretch(1);
    layout->addWidget(m_changeView);

    m_errorLabel = styledLabel(this, 12, Palette::failure(), Qt::AlignCenter);
    m_errorLabel->setObjectName(u"errorLabel"_s);
    m_errorLabel->setWordWrap(true);
    m_errorLabel->setFixedWidth(300);
    layout->addWidget(m_errorLabel);

    m_cancelButton = new QPushButton(tr("Cancel"), this);
    m_cancelButton->setObjectName(u"cancelButton"_s);
    m_cancelButton->setAutoDefault(false);
    connect(m_cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    layout->addWidget(m_cancelButton, 0, Qt::AlignRight);

    m_retryTimer = new QTimer(this);
    m_retryTimer->setSingleShot(true);
    // Precise, so that the countdown starts at the whole wait, not a second more (a coarse timer
    // may run up to 5 % late).
    m_retryTimer->setTimerType(Qt::PreciseTimer);
    connect(m_retryTimer, &QTimer::timeout, this, [this] {
        for (QLineEdit* field : m_fields)
            field->setEnabled(true);
        m_countdown->stop();
        m_errorLabel->hide();
        m_fields[0]->setFocus();
    });
    // The wait counts down on the screen, second by second.
    m_countdown = new QTimer(this);
    m_countdown->setInterval(std::chrono::seconds(1));
    connect(m_countdown, &QTimer::timeout, this, &SettingsPassword::showWait);

    m_errorLabel->hide();
    showMode();
}

void SettingsPassword::showMode()
{
    const bool change = m_entry.mode() == PinEntry::Mode::Change;
    m_changeView->setVisible(change);
    m_pinView->setVisible(!change);
    m_titleLabel->setText(tr(m_entry.titleKey()));
}

void SettingsPassword::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    m_cancelButton->setEnabled(!m_entry.canNotCancel());
    m_cancelButton->setVisible(!m_entry.canNotCancel());
    if (m_pinView->isVisible())
        m_fields[0]->setFocus();
    else
        m_newPinButton->setFocus();
}

QString SettingsPassword::getPinFromTextFields() const
{
    QString pin;
    for (const QLineEdit* field : m_fields)
        pin += field->text();
    return pin;
}

void SettingsPassword::resettPinFields()
{
    m_filling = true;
    for (QLineEdit* field : m_fields)
        field->clear();
    m_filling = false;
    m_fields[0]->setFocus();
}

void SettingsPassword::waitBeforeNextTry(qint64 seconds)
{
    for (QLineEdit* field : m_fields)
        field->setEnabled(false);
    m_retryTimer->start(std::chrono::seconds(seconds));
    m_countdown->start();
    showWait();
    m_errorLabel->show();
}

void SettingsPassword::showWait()
{
    // The seconds left, rounded up: the text never says 0 while the fields still wait.
    const auto left = static_cast<int>((std::max(m_retryTimer->remainingTime(), 0) + 999) / 1000);
    m_errorLabel->setText(tr("Too many wrong PINs. Please wait %Ln second(s) before you try again.", nullptr,
                             std::max(left, 1)));
}

void SettingsPassword::controlTextDidChange(int index)
{
    if (m_filling)
        return;
    QLineEdit* changed = m_fields[static_cast<std::size_t>(index)];
    const QString text = changed->text();
    if (text.isEmpty())
        return;
    if (text.size() == PinEntry::kLength) {
        // A pasted PIN: one character into each field, the focus on the last one, and then on as
        // if that last character had been typed, so that the paste needs no further key.
        m_filling = true;
        for (int i = 0; i < PinEntry::kLength; ++i)
            m_fields[static_cast<std::size_t>(i)]->setText(text.mid(i, 1));
        m_filling = false;
        m_fields.back()->setFocus();
        allPinFieldsFilled();
        return;
    }
    if (text.size() > 1) {
        m_filling = true;
        changed->setText(text.left(1));
        m_filling = false;
    }
    if (index + 1 < PinEntry::kLength)
        m_fields[static_cast<std::size_t>(index + 1)]->setFocus();
    if (std::all_of(m_fields.begin(), m_fields.end(), [](QLineEdit* f) { return f->text().size() == 1; }))
        allPinFieldsFilled();
}

void SettingsPassword::allPinFieldsFilled()
{
    switch (m_entry.enter(getPinFromTextFields())) {
    case PinEntry::Outcome::Nothing:
        return;
    case PinEntry::Outcome::Unlocked:
    case PinEntry::Outcome::PinSet:
        m_errorLabel->hide();
        accept();
        return;
    case PinEntry::Outcome::WrongPin:
    case PinEntry::Outcome::TooEarly:
        resettPinFields();
        if (m_entry.waitSeconds() > 0) {
            waitBeforeNextTry(m_entry.waitSeconds());
            return;
        }
        m_errorLabel->setText(tr("Wrong PIN. Please try again."));
        m_errorLabel->show();
        return;
    case PinEntry::Outcome::ConfirmPin:
        resettPinFields();
        showMode();
        return;
    case PinEntry::Outcome::PinsDiffer:
        // The confirmation starts over in empty fields, as after a wrong PIN.
        resettPinFields();
        m_errorLabel->setText(tr("The PINs do not match. Please enter the new PIN again."));
        m_errorLabel->show();
        return;
    }
}

} // namespace cv
