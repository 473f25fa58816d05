#include "app/dialogs/ConfirmDeletionDialog.h"

#include "common/Log.h"
#include "settings/SettingsManager.h"

#include <QPushButton>

#include <string>

using namespace Qt::StringLiterals;

namespace cv {

namespace {

QString cannotBeRecovered()
{
    return ConfirmDeletionDialog::tr(
        "Data cannot be recovered once you start the secure deletion process. Do you want to continue?");
}

} // namespace

ConfirmDeletionDialog::ConfirmDeletionDialog(QWidget* parent)
    : ConfirmDeletionDialog(parent, cannotBeRecovered())
{}

ConfirmDeletionDialog::ConfirmDeletionDialog(QWidget* parent, const QString& informative)
    : QMessageBox(QMessageBox::Warning, tr("Are you sure?"), {}, QMessageBox::NoButton, parent)
{
    setObjectName(u"confirmation"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setText(tr("Are you sure?"));
    setInformativeText(informative);
    // One role for both keeps DELETE first and Cancel second on every desktop.
    m_deleteButton = addButton(tr("DELETE"), QMessageBox::ActionRole);
    QPushButton* cancelButton = addButton(tr("Cancel"), QMessageBox::ActionRole);
    setDefaultButton(cancelButton);
    setEscapeButton(cancelButton);
    connect(this, &QMessageBox::finished, this, [this] {
        if (clickedButton() == m_deleteButton)
            emit confirmed();
        else
            emit cancelled();
    });
}

void ConfirmDeletionDialog::confirmThenStart(QWidget* parent, std::function<bool()> isStillAsked,
                                             std::string_view changedLog, std::string_view cancelledLog,
                                             std::function<void()> start, const QString& subject,
                                             const QString& consequence, std::function<void()> changed)
{
    if (!SettingsManager::sharedManager().showSecurityPrompts()) {
        start();
        return;
    }
    const QString then = consequence.isEmpty() ? cannotBeRecovered() : consequence;
    auto* confirmation =
        new ConfirmDeletionDialog(parent, subject.isEmpty() ? then : subject + u"\n\n"_s + then);
    connect(confirmation, &ConfirmDeletionDialog::confirmed, parent,
            [isStillAsked = std::move(isStillAsked), changedText = std::string(changedLog),
             start = std::move(start), changed = std::move(changed)] {
                if (!isStillAsked()) {
                    logLine(changedText);
                    if (changed)
                        changed();
                    return;
                }
                start();
            });
    connect(confirmation, &ConfirmDeletionDialog::cancelled, parent,
            [cancelled = std::string(cancelledLog)] { logLine(cancelled); });
    confirmation->open();
}

} // namespace cv
