#pragma once

#include <QMessageBox>

#include <functional>
#include <string_view>

namespace cv {

// The question every screen asks before it starts a destructive job: "Are you sure?", with
// "DELETE" first and "Cancel" second. Return and Escape both mean Cancel, so that no key press
// alone starts a job. A window-modal sheet that deletes itself when closed; the caller hears the
// answer through confirmed() or cancelled() and decides what follows (and what to log).
class ConfirmDeletionDialog : public QMessageBox
{
    Q_OBJECT

public:
    explicit ConfirmDeletionDialog(QWidget* parent);
    // The same question with another explanation below it (deleting files that are not a job's).
    ConfirmDeletionDialog(QWidget* parent, const QString& informative);

    // Starts a job the way every screen does: at once when the security prompts are off, else after
    // DELETE. The answer holds for what it was asked for: when isStillAsked() says the selection
    // changed while the question was open, nothing starts and changedLog is logged; Cancel logs
    // cancelledLog. subject says what the job destroys (the files by name, count and size; the
    // volume it empties or reformats), above the consequence: by default that data cannot be
    // recovered (a free-space wipe, which deletes nothing, says so instead). changed, when given,
    // runs after changedLog, so that the screen can say in the window why nothing started.
    static void confirmThenStart(QWidget* parent, std::function<bool()> isStillAsked,
                                 std::string_view changedLog, std::string_view cancelledLog,
                                 std::function<void()> start, const QString& subject = {},
                                 const QString& consequence = {}, std::function<void()> changed = {});

signals:
    void confirmed();
    void cancelled();

private:
    QAbstractButton* m_deleteButton;
};

} // namespace cv
