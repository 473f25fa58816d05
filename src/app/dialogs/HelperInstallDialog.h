#pragma once

#include <QMessageBox>
#include <QStringList>

#include <functional>

namespace cv {

// The question a build started from its build folder asks before it installs its privileged
// helper as root: what is installed where, and why. "Install…" goes on to the administrator's
// password; "Not now" starts without the root-only steps (deleting files the user may not write
// to, reformatting a volume, deleting snapshots). Deletes itself when closed.
class HelperInstallDialog : public QMessageBox
{
    Q_OBJECT

public:
    // places: the files the install step writes.
    explicit HelperInstallDialog(const QStringList& places, QWidget* parent = nullptr);

    // Shows the question over the window in front (or alone, at start-up) and calls answer once
    // with the user's choice.
    static void ask(const QStringList& places, std::function<void(bool install)> answer);

signals:
    void answered(bool install);
};

} // namespace cv
